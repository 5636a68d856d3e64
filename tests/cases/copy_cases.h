// The copy hotkey: which command's output lands on the clipboard, and what
// it reads like there.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/cases/typed_filter_cases.h"

// A console laid out with text and entered lines, the window's top row
// (30 rows high) and the prompt's row; then the copy hotkey. copied none:
// the beep, and the clipboard keeps what it held.
struct CopyCase {
    const char* name;
    int columns;
    int rows;
    std::vector<std::pair<int, Text>> lines; // from column 0
    std::vector<int> tags;
    int top;
    int cursor;
    std::optional<Text> copied;
    harness::ClipboardRefusal refusal = harness::ClipboardRefusal::None;
    int doubleWidthRow = -1; // columns 0 and 1 there: the halves of one wide character
    std::optional<Text> typed = std::nullopt; // with the typed filter on, typed after the prompt
    int lineRow = -1; // the key event's row, when the line began above the cursor's
    Scrolling scrolling = Scrolling::None; // the typing scrolls the buffer
};

// A session: "dir" with two lines of output, "type" with two, and the
// prompt after them.
const std::vector<std::pair<int, Text>> SessionLines = {
    {10, TEXT("> dir")},  {11, TEXT("a.txt")}, {12, TEXT("b.txt")},
    {13, TEXT("> type a.txt")}, {14, TEXT("hello")}, {15, TEXT("world")}, {16, TEXT("> ")},
};
const std::vector<int> SessionTags = {10, 13};

// Rows first..last of a long output: "line N", N its row.
inline std::vector<std::pair<int, Text>> Numbered(int first, int last)
{
    std::vector<std::pair<int, Text>> lines;
    for (int row = first; row <= last; ++row) {
        std::string digits = std::to_string(row);
        lines.push_back({row, TEXT("line ") + Text(digits.begin(), digits.end())});
    }
    return lines;
}

inline Text Joined(const std::vector<std::pair<int, Text>>& lines)
{
    Text text;
    for (const auto& line : lines)
        text += (text.empty() ? Text() : Text(TEXT("\r\n"))) + line.second;
    return text;
}

// Every row of the buffer full to its last column.
inline std::vector<std::pair<int, Text>> FullRows(int columns, int first, int last)
{
    std::vector<std::pair<int, Text>> lines;
    for (int row = first; row <= last; ++row) {
        Text line;
        for (int column = 0; column < columns; ++column)
            line.push_back((WCHAR)('!' + (row + column) % 90));
        lines.push_back({row, line});
    }
    return lines;
}

// Two "git st" commands, and others between and after them; the prompt
// after the last.
const std::vector<std::pair<int, Text>> GitLines = {
    {10, TEXT("> git status")}, {11, TEXT("M a.txt")}, {12, TEXT("> dir")},     {13, TEXT("a.txt")},
    {14, TEXT("> git stash")},  {15, TEXT("Saved")},   {16, TEXT("> count 2")}, {17, TEXT("1")},
    {18, TEXT("2")},            {19, TEXT("> ")},
};
const std::vector<int> GitTags = {10, 12, 14, 16};

const std::vector<std::pair<int, Text>> AtALongPrompt = {
    {10, TEXT("C:\\src>git status")}, {11, TEXT("M a.txt")}, {12, LongPrompt}};
const std::vector<std::pair<int, Text>> WrappedLine = {
    {10, TEXT("C:\\src>git status")}, {11, TEXT("M a.txt")}, {12, LongPrompt + TEXT("git")}, {13, TEXT(" st")}};

inline std::vector<std::pair<int, Text>> WithPromptAt(std::vector<std::pair<int, Text>> lines, int row)
{
    lines.back().first = row;
    return lines;
}

inline std::vector<CopyCase> CopyCases()
{
    using harness::ClipboardRefusal;
    const std::vector<std::pair<int, Text>> middle = Numbered(11, 99);
    const std::vector<std::pair<int, Text>> full = FullRows(120, 1, 8999);
    return {
        {"LastCommandsOutput", 80, 300, SessionLines, SessionTags, 0, 16, Text(TEXT("hello\r\nworld"))},
        // The back hotkey left the command's line at the window's top.
        {"CommandAtTheWindowsTop", 80, 300, SessionLines, SessionTags, 10, 200, Text(TEXT("a.txt\r\nb.txt"))},
        // With no command after it, the output runs to the prompt.
        {"LastCommandAtTheWindowsTop", 80, 300, SessionLines, SessionTags, 13, 60,
         Text(TEXT("hello\r\nworld\r\n>"))},
        // The prompt on the window's top row is on screen: a stale tag below
        // it does not count.
        {"PromptOnTheWindowsTopRow", 80, 300, {{11, TEXT("out")}}, {10, 40}, 20, 20, Text(TEXT("out"))},
        {"WindowInTheMiddleOfAnOutput", 80, 300, middle, {10, 100}, 40, 150, Joined(middle)},
        // The prompt on the window's last row, as after any output that scrolled.
        {"PromptOnTheWindowsBottomRow", 80, 300, {{3, TEXT("early")}, {11, TEXT("out1")}, {12, TEXT("out2")}},
         {2, 10}, 0, 29, Text(TEXT("out1\r\nout2"))},
        {"OneCharacterOfOutput", 80, 300, {{11, TEXT("1")}}, {10}, 0, 12, Text(TEXT("1"))},
        {"StaleTagBelowThePrompt", 80, 300, {{11, TEXT("out1")}, {12, TEXT("out2")}}, {10, 20}, 0, 14,
         Text(TEXT("out1\r\nout2")), ClipboardRefusal::None, -1, std::nullopt, 20}, // no line begins below the cursor
        {"FirstCommandInTheBuffer", 80, 300, {{1, TEXT("first")}, {2, TEXT("output")}}, {0}, 0, 3,
         Text(TEXT("first\r\noutput"))},
        {"TrailingSpacesAndEmptyRows", 80, 300,
         {{11, TEXT("a   ")}, {12, TEXT("")}, {13, TEXT("  b  ")}, {14, TEXT("")}}, {10}, 0, 16,
         Text(TEXT("a\r\n\r\n  b"))},
        // A cell left zeroed shows as a blank, and is copied as one.
        {"NulCellsAreBlanks", 80, 300,
         {{11, Text(TEXT("one\0two"), 7)}, {12, Text(TEXT("end\0\0"), 5)}, {13, Text(3, 0)}, {14, TEXT("last")}},
         {10}, 0, 15, Text(TEXT("one two\r\nend\r\n\r\nlast"))},
        {"BlockThatCannotShrink", 80, 300, SessionLines, SessionTags, 0, 16, Text(TEXT("hello\r\nworld")),
         ClipboardRefusal::NoShrink},
        {"DoubleWidthCharacter", 80, 300, {{11, TEXT("\u4E2D\u4E2Dx")}}, {10}, 0, 12, Text(TEXT("\u4E2Dx")),
         ClipboardRefusal::None, 11},
        {"WholeBufferOf9001RowsBy120Columns", 120, 9001, full, {0}, 8971, 9000, Joined(full)},
        {"TwoCommandsInARowHaveNoOutput", 80, 300, {{10, TEXT("> cd")}, {11, TEXT("> cd")}}, {10, 11}, 0, 12,
         std::nullopt},
        {"OnlyBlankRows", 80, 300, {}, {10}, 0, 14, std::nullopt},
        {"NoTagAtAll", 80, 300, SessionLines, {}, 0, 16, std::nullopt},
        {"WindowBelowThePrompt", 80, 300, {}, {50}, 40, 5, std::nullopt},
        {"ClipboardHeldElsewhere", 80, 300, SessionLines, SessionTags, 0, 16, std::nullopt,
         ClipboardRefusal::HeldElsewhere},
        {"ConsoleWithoutAWindow", 80, 300, SessionLines, SessionTags, 0, 16, std::nullopt,
         ClipboardRefusal::NoConsoleWindow},
        {"MemoryRefused", 80, 300, SessionLines, SessionTags, 0, 16, std::nullopt, ClipboardRefusal::NoMemory},
        // With the typed filter the command is the nearest that matches, and
        // its output ends at the next command of any kind.
        {"TypedFilterTakesTheLastMatch", 80, 300, GitLines, GitTags, 0, 19, Text(TEXT("Saved")),
         ClipboardRefusal::None, -1, Text(TEXT("git st"))},
        {"TypedFilterTakesAnEarlierMatch", 80, 300, GitLines, GitTags, 0, 19, Text(TEXT("M a.txt")),
         ClipboardRefusal::None, -1, Text(TEXT("git status"))},
        {"TypedFilterWithNothingTyped", 80, 300, GitLines, GitTags, 0, 19, Text(TEXT("1\r\n2")),
         ClipboardRefusal::None, -1, Text()},
        {"TypedFilterWithNoMatch", 80, 300, GitLines, GitTags, 0, 19, std::nullopt, ClipboardRefusal::None, -1,
         Text(TEXT("zz"))},
        // The prompt far below the window: the first match in the window, else
        // the last above it.
        {"TypedFilterMatchInTheWindow", 80, 300, WithPromptAt(GitLines, 200), GitTags, 11, 200, Text(TEXT("Saved")),
         ClipboardRefusal::None, -1, Text(TEXT("git st"))},
        // The output ends above the line being typed, also when it has wrapped.
        {"OutputEndsAboveAWrappedLine", 80, 300, WrappedLine, {10}, 0, 13, Text(TEXT("M a.txt")),
         ClipboardRefusal::None, -1, std::nullopt, 12},
        {"TypedFilterOnAWrappedLine", 80, 300, AtALongPrompt, {10}, 0, 12, Text(TEXT("M a.txt")),
         ClipboardRefusal::None, -1, Text(TEXT("git st"))},
        {"TypedFilterOnAWrappedLineWithARowBelowTheCursor", 80, 300, AtALongPrompt, {10}, 0, 12,
         Text(TEXT("M a.txt")), ClipboardRefusal::None, -1, Text(TEXT("git st")), 250},
        {"TypedFilterAsTheBufferScrollsUnderAHostThatFollows", 80, 30, WithPromptAt(AtALongPrompt, 29), {10}, 0, 29,
         Text(TEXT("M a.txt")), ClipboardRefusal::None, -1, Text(TEXT("git st")), 28, Scrolling::HostFollows},
        {"TypedFilterAsTheBufferScrollsUnderAHostThatStays", 80, 30, WithPromptAt(AtALongPrompt, 29), {10}, 0, 29,
         std::nullopt, ClipboardRefusal::None, -1, Text(TEXT("git st")), -1, Scrolling::HostStays},
        {"TypedFilterMatchAboveTheWindow", 80, 300, WithPromptAt(GitLines, 200), GitTags, 11, 200,
         Text(TEXT("M a.txt")), ClipboardRefusal::None, -1, Text(TEXT("git status"))},
    };
}

inline void PrintTo(const CopyCase& c, std::ostream* os)
{
    *os << c.name;
}
