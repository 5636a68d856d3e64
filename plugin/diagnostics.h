// What the plug-in says about itself outside its normal output.
#pragma once

#include "plugin/platform.h"

extern const WCHAR PluginName[]; // "Mirvane"

enum { BatchPrefixLength = 8192 };

// "Mirvane plugin: " and, inside a batch file, its name and line, to
// standard error. Every error message follows it.
void WriteErrorPrefix(void);
// The standard error handle, fetched afresh: it can be redirected between
// writes, so it is never kept.
HANDLE ErrorOutput(void);
// A Windows status as one line of text in buffer (capacity units with the
// terminator).
void FormatSystemError(DWORD code, WCHAR* buffer, size_t capacity);
