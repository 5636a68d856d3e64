// The command mirvane (exported in host/exports.h).
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

// Writes 1 (Y) or 0 (N) through value and returns 0; otherwise reports the
// argument and returns 1.
int ParseYesNo(WCHAR* argument, int32_t* value);
