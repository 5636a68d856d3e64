// Splitting the command's argument text into arguments, into one
// process-wide list that the next call overwrites.
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

enum {
    MAX_ARGS = 1024,
    MAX_ARG_LEN = 8192,
};

struct ArgumentListState {
    int32_t count;
    WCHAR* text[MAX_ARGS];
    int32_t length[MAX_ARGS];
    WCHAR buffer[MAX_ARG_LEN];
};

extern ArgumentListState ArgumentList;

// The number of arguments (0..1024), or -1 for a null line or an overflow.
int ParseArguments(const WCHAR* line);
