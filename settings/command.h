// The command mirvane: shows, changes, lists, restores and saves the
// settings.
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

// The command's result for the host: 0, 1 for an error in the arguments, 2
// when saving failed.
int RunSettingsCommand(WCHAR* arguments);

// Writes 1 (Y) or 0 (N) through value; otherwise reports the argument and
// returns false.
bool ParseYesNo(WCHAR* argument, int32_t* value);
