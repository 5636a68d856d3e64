// The command's help text, and the host's requests for help and usage.
#pragma once

#include "plugin/platform.h"

extern const WCHAR HelpText[];

// A message box with the help of the named command, when the plug-in has
// that command; false (and nothing shown) otherwise.
bool ShowHelp(const WCHAR* name);
// The usage text of the named command into the host's buffer of
// TextBufferLength units; false, with the buffer untouched, for a name that
// is not the plug-in's.
bool CopyUsage(const WCHAR* name, WCHAR* usage);
