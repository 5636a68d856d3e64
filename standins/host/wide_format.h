// The host's formatting rules, shared by the stand-in host and the
// stand-in wsprintfW: "%s" a wide string, "%d" a signed and "%u" an unsigned
// 32-bit integer, "%c" one unit, "%x" hexadecimal, "%%" a percent sign.
// C99 swprintf reads "%s" as a narrow string, so it cannot serve here.
#pragma once

#include <stdarg.h>

#include <string>

#include "plugin/platform.h"

std::basic_string<WCHAR> FormatWide(const WCHAR* format, va_list arguments);
