// The session's command line as the user edits it, and how a finished line
// splits into a command word and the rest.
#pragma once

#include <windows.h>

#include <string>

enum { SessionLineCapacity = 1023 }; // units, without the terminator

struct SessionLine {
    WCHAR text[SessionLineCapacity + 1];
    int length;
};

void LineClear(SessionLine* line);
// false when the line is full: the character is dropped, never cut in half.
bool LineAppend(SessionLine* line, WCHAR character);
// Removes the last character (both halves of a surrogate pair) and returns
// how many units went, 0 on an empty line.
int LineEraseLast(SessionLine* line);

// The first word, and the rest after the blanks that follow it.
void SplitCommand(const WCHAR* line, std::wstring* word, std::wstring* rest);
bool SameWord(const std::wstring& word, const WCHAR* name);

// "count N": a decimal from 1 to max, or the default when the text is
// blank. false for anything else.
bool ParseCount(const std::wstring& text, int defaultCount, int max, int* count);
