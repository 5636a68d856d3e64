// What the Wine runner adds to the shared harness for its own tests: the
// driver's folder, the loaded module, and the real console, keyboard and
// message pump (console_helpers.h).
#pragma once

#include <windows.h>

#include <string>

#include "tests/cases/harness.h"
#include "tests/wine/console_helpers.h"

// The folder of the running driver, with a trailing backslash.
std::wstring DriverFolder();
// Mirvane.dll as this test loaded it.
HMODULE PluginModule();
