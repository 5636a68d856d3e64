// The user settings under Software\Kelderin\Mirvane below a root: the four
// values every save writes, CopyHotkey when there is one and TypedFilter
// when it is on.
#pragma once

#include "plugin/platform.h"

extern const WCHAR SettingsKeyPath[];

// True when the key held a complete valid set, which is then in Settings;
// otherwise Settings is untouched.
bool LoadSettings(HKEY root);
// A Windows status: 0, or that of the last write (or removal of CopyHotkey
// or TypedFilter) that failed.
LSTATUS SaveSettings(HKEY root);
