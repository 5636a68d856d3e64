// Text helpers shared by every subsystem. No locale is ever selected, so the
// classifications are fixed tables here rather than the C library's: the
// native build and the DLL must agree on every character.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "plugin/platform.h"

enum { TextBufferLength = 1024 };

// Folds only A-Z to a-z; every other unit is returned unchanged.
WCHAR AsciiLower(WCHAR c);
WCHAR AsciiUpper(WCHAR c);
bool TextEqualsNoCase(const WCHAR* a, const WCHAR* b);
void TextUpperInPlace(WCHAR* text);

size_t TextLength(const WCHAR* text);
// Both always leave a terminated text in dst[0..capacity-1] and drop what
// does not fit. capacity counts the terminator and must be at least 1.
void TextCopy(WCHAR* dst, size_t capacity, const WCHAR* src);
void TextAppend(WCHAR* dst, size_t capacity, const WCHAR* src);

// Whitespace: U+0009-U+000D, U+0020, U+00A0, and above U+00FF the Unicode
// space separators (U+1680, U+2000-U+200A, U+202F, U+205F, U+3000) and the
// line and paragraph separators U+2028 and U+2029.
bool IsSpaceChar(WCHAR c);
// Alphabetic: A-Z, a-z, U+00C0-U+00FF except U+00D7 and U+00F7, and above
// U+00FF the letters of the Latin, Greek, Cyrillic, Hebrew, Arabic, CJK and
// Hangul blocks listed in text.cpp.
bool IsAlphaChar(WCHAR c);

// wcstoul in base 10 with a 32-bit unsigned long, as on Windows: leading
// whitespace and one sign are skipped, a minus negates the value modulo
// 2^32, digits stop at the first non-digit. A magnitude above 0xFFFFFFFF
// sets *rangeError and yields 0xFFFFFFFF.
uint32_t ParseDecimalU32(const WCHAR* text, bool* rangeError);

// Zero-fills buffer, copies text in (bounded), lets the host expand its
// variables in place, and terminates the last unit, so that a host filling
// the buffer to the brim cannot leave an unterminated text behind.
void ExpandHostVariables(WCHAR* buffer, size_t capacity, const WCHAR* text);
