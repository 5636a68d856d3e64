// The only header that knows which build it is in. The real DLL sees the
// Windows SDK; the native test build sees the stand-in's declarations of the
// same names. Plug-in code includes this and never asks again.
#pragma once

#include <stddef.h>

#ifdef _WIN32
// The build defines UNICODE for every Windows target (cmake/WindowsDll.cmake).
#ifndef UNICODE
#error "the Windows build defines UNICODE"
#endif
#include <windows.h>
#else
#include "standins/windows/windows_standin.h"
#endif

// Every literal goes through TEXT(): L"" on Windows, u"" against the stand-in,
// so that both builds see 16-bit WCHAR text.
static_assert(sizeof(WCHAR) == 2, "text is UTF-16 in both builds");

// The number of elements of an array, taken from the array itself.
template <typename T, size_t N>
constexpr int ArraySize(const T (&)[N])
{
    return (int)N;
}
