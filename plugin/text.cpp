#include "plugin/text.h"

#include <string.h>

#include "host/host_api.h"

WCHAR AsciiLower(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') ? (WCHAR)(c + ('a' - 'A')) : c;
}

WCHAR AsciiUpper(WCHAR c)
{
    return (c >= 'a' && c <= 'z') ? (WCHAR)(c - ('a' - 'A')) : c;
}

bool TextEqualsNoCase(const WCHAR* a, const WCHAR* b)
{
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

void TextUpperInPlace(WCHAR* text)
{
    for (; *text; ++text)
        *text = AsciiUpper(*text);
}

size_t TextLength(const WCHAR* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

void TextCopy(WCHAR* dst, size_t capacity, const WCHAR* src)
{
    size_t i = 0;
    for (; i + 1 < capacity && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
}

void TextAppend(WCHAR* dst, size_t capacity, const WCHAR* src)
{
    size_t used = TextLength(dst);
    if (used + 1 >= capacity)
        return;
    TextCopy(dst + used, capacity - used, src);
}

struct CharRange {
    uint16_t first;
    uint16_t last;
};

template <size_t N>
static bool InRanges(WCHAR c, const CharRange (&ranges)[N])
{
    for (const CharRange& range : ranges) {
        if (c >= range.first && c <= range.last)
            return true;
    }
    return false;
}

static constexpr CharRange SpaceRanges[] = {
    {0x0009, 0x000D}, {0x0020, 0x0020}, {0x00A0, 0x00A0}, {0x1680, 0x1680},
    {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F},
    {0x3000, 0x3000},
};

static constexpr CharRange AlphaRanges[] = {
    {'A', 'Z'},       {'a', 'z'},       {0x00C0, 0x00D6}, {0x00D8, 0x00F6},
    {0x00F8, 0x02AF}, // Latin-1 letters, Latin Extended-A and -B, IPA
    {0x0370, 0x0373}, {0x0376, 0x0377}, {0x037B, 0x037D}, {0x0386, 0x0386},
    {0x0388, 0x03FF}, // Greek
    {0x0400, 0x0481}, {0x048A, 0x052F}, // Cyrillic
    {0x05D0, 0x05EA}, // Hebrew
    {0x0620, 0x064A}, // Arabic
    {0x1E00, 0x1FFF}, // Latin Extended Additional, Greek Extended
    {0x3041, 0x3096}, {0x30A1, 0x30FA}, // Hiragana, Katakana
    {0x4E00, 0x9FFF}, // CJK unified ideographs
    {0xAC00, 0xD7A3}, // Hangul syllables
};

bool IsSpaceChar(WCHAR c)
{
    return InRanges(c, SpaceRanges);
}

bool IsAlphaChar(WCHAR c)
{
    return InRanges(c, AlphaRanges);
}

uint32_t ParseDecimalU32(const WCHAR* text, bool* rangeError)
{
    *rangeError = false;
    while (IsSpaceChar(*text))
        ++text;
    int negative = 0;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    uint64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (uint64_t)(*text - '0');
        if (magnitude > 0xFFFFFFFFu) {
            *rangeError = true;
            magnitude = 0x100000000u; // saturate; keep consuming digits
        }
    }
    if (*rangeError)
        return 0xFFFFFFFFu;
    uint32_t value = (uint32_t)magnitude;
    return negative ? (uint32_t)(0u - value) : value;
}

void ExpandHostVariables(WCHAR* buffer, size_t capacity, const WCHAR* text)
{
    memset(buffer, 0, capacity * sizeof buffer[0]);
    TextCopy(buffer, capacity, text);
    ExpandVariables(buffer, 1);
    buffer[capacity - 1] = 0;
}
