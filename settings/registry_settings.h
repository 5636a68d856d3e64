// The four user settings under Software\Kelderin\Mirvane below a root.
#pragma once

#include "plugin/platform.h"

extern const WCHAR SettingsKeyPath[];

// 0: a complete valid set was applied to Settings; 1: nothing applied.
int LoadSettings(HKEY root);
// A Windows status: 0, or that of the last write that failed.
LONG SaveSettings(HKEY root);
