// The version probes of start-up.
#pragma once

#include <stdint.h>

#include "plugin/platform.h"

extern OSVERSIONINFOEXW OsVersion;

// 1 when a version was obtained; fills OsVersion.
int ReadOsVersion(void);
// Sets Settings.hostVersion and Settings.useExtendedKeys.
uint32_t ReadHostVersion(void);
// Newer consoles keep only the documented grid bits, so from this build on
// rows are tagged with the left grid line instead of the unnamed bit.
int IsWindows10Build19041OrLater(const OSVERSIONINFOEXW* version);
