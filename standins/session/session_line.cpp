#include "standins/session/session_line.h"

namespace {

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

WCHAR FoldAscii(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') ? (WCHAR)(c + ('a' - 'A')) : c;
}

bool IsLowSurrogate(WCHAR c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsHighSurrogate(WCHAR c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

void LineClear(SessionLine* line)
{
    line->length = 0;
    line->text[0] = 0;
}

bool LineAppend(SessionLine* line, WCHAR character)
{
    // The last free unit is not given to a high surrogate whose partner
    // could then not follow.
    int room = SessionLineCapacity - line->length;
    if (room <= 0 || (room == 1 && IsHighSurrogate(character)))
        return false;
    line->text[line->length++] = character;
    line->text[line->length] = 0;
    return true;
}

int LineEraseLast(SessionLine* line)
{
    if (line->length == 0)
        return 0;
    int units = 1;
    if (line->length >= 2 && IsLowSurrogate(line->text[line->length - 1]) &&
        IsHighSurrogate(line->text[line->length - 2]))
        units = 2;
    line->length -= units;
    line->text[line->length] = 0;
    return units;
}

void SplitCommand(const WCHAR* line, std::wstring* word, std::wstring* rest)
{
    const WCHAR* p = line;
    while (IsBlank(*p))
        ++p;
    const WCHAR* start = p;
    while (*p && !IsBlank(*p))
        ++p;
    word->assign(start, p);
    while (IsBlank(*p))
        ++p;
    rest->assign(p);
}

bool SameWord(const std::wstring& word, const WCHAR* name)
{
    size_t i = 0;
    for (; i < word.size() && name[i]; ++i) {
        if (FoldAscii(word[i]) != FoldAscii(name[i]))
            return false;
    }
    return i == word.size() && name[i] == 0;
}

bool ParseCount(const std::wstring& text, int defaultCount, int max, int* count)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    if (end == 0) {
        *count = defaultCount;
        return true;
    }
    long long value = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
        if (value > max)
            return false;
    }
    if (value < 1)
        return false;
    *count = (int)value;
    return true;
}
