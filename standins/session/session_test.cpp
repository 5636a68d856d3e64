// How the stand-in host numbers keys and edits its line. Runs under Wine
// (cmake/wine-run.sh), which wants the report in MIRVANE_TEST_OUTPUT, and
// types the typing cases at its console.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "standins/session/host_keys.h"
#include "standins/session/session_console.h"
#include "standins/session/session_line.h"
#include "standins/session/session_typing.h"

namespace {

enum : int { S = HostShiftHeld, C = HostCtrlHeld, A = HostAltHeld };

struct KeyCase {
    const char* name;
    WORD virtualKey;
    WCHAR character;
    int modifiers;
    int32_t newerHost; // the code under host 24
    int32_t olderHost; // under host 23
};

// With Ctrl and Alt (or Ctrl and Shift) held the host sends the code that
// the plug-in's flag turns into the table's cell.
const KeyCase KeyCases[] = {
    {"Up", VK_UP, 0, 0, 0x10048, 0x10048},
    {"CtrlUp", VK_UP, 0, C, 0x1008D, 0x1008D},
    {"CtrlAltUpSendsCtrlUp", VK_UP, 0, C | A, 0x1008D, 0x1008D},
    {"CtrlAltDownSendsCtrlDown", VK_DOWN, 0, C | A, 0x10091, 0x10091},
    {"CtrlAltShiftUp", VK_UP, 0, C | A | S, 0x1008D, 0x1008D},
    {"ShiftUpHasNoCellSoBareUp", VK_UP, 0, S, 0x10048, 0x10048},
    {"ShiftF1", VK_F1, 0, S, 0x10054, 0x10054},
    {"CtrlShiftF1CarriesShiftF1", VK_F1, 0, C | S, 0x10054, 0x10054},
    {"CtrlShiftLeftIsItsOwn", VK_LEFT, 0, C | S, 0x100CC, 0x100CC},
    {"CtrlAltInsWithoutCtrlIns", VK_INSERT, 0, C | A, 0x10092, 0x10092},
    {"CtrlAltDelFallsBackToCtrlDel", VK_DELETE, 0, C | A, 0x10093, 0x10093},
    {"ShiftAltF12IsAltF12", VK_F12, 0, S | A, 0x1008C, 0x1008C},
    {"Enter", VK_RETURN, L'\r', 0, 13, 13},
    {"CtrlEnter", VK_RETURN, L'\n', C, 0xC0D, 0xC0D},
    {"ShiftEnter", VK_RETURN, L'\r', S, 0x80D, 13},
    {"Letter", 'A', L'a', 0, L'a', L'a'},
    {"ShiftedLetter", 'A', L'A', S, L'A', L'A'},
    {"CtrlA", 'A', 1, C, 0x1, 0x1},
    {"CtrlShiftA", 'A', 1, C | S, 0x1, 0x1},
    {"AltAByScanCode", 'A', L'a', A, 0x1001E, 0x1001E},
    {"CtrlAltAIsAltA", 'A', 0, C | A, 0x1001E, 0x1001E},
    {"AltQ", 'Q', L'q', A, 0x10010, 0x10010},
    {"CtrlAltShiftBOddCell", 'B', 0, C | A | S, 0x1003E, 0x1003E},
    {"Ctrl1", '1', 0, C, 0xE2, 0xE2},
    {"Alt0", '0', L'0', A, 0x100EB, 0x100EB},
    {"Backspace", VK_BACK, 8, 0, 8, 8},
    {"ShiftBackspace", VK_BACK, 8, S, 0x87F, 8},
    {"CtrlBackspace", VK_BACK, 0x7F, C, 0x7F, 0x7F},
    {"CtrlAltBackspace", VK_BACK, 0, C | A, 0x1000E, 0x1000E},
    {"Escape", VK_ESCAPE, 27, 0, 27, 27},
    {"Punctuation", VK_OEM_MINUS, L'-', 0, L'-', L'-'},
};

class HostKeyCodeTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(HostKeyCodeTest, NumbersAsTheHostDoes)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(c.newerHost, HostKeyCode(c.virtualKey, c.character, c.modifiers, 1));
    EXPECT_EQ(c.olderHost, HostKeyCode(c.virtualKey, c.character, c.modifiers, 0));
}

INSTANTIATE_TEST_SUITE_P(Keys, HostKeyCodeTest, ::testing::ValuesIn(KeyCases),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

struct UnnumberedCase {
    const char* name;
    WORD virtualKey;
    WCHAR character;
    int modifiers;
};

const UnnumberedCase UnnumberedCases[] = {
    {"AltHome", VK_HOME, 0, A},
    {"CtrlIns", VK_INSERT, 0, C},
    {"F13", VK_F13, 0, 0},
    {"CtrlMinus", VK_OEM_MINUS, 0, C},
    {"AltEnter", VK_RETURN, L'\r', A},
    {"Pause", VK_PAUSE, 0, 0},
};

class UnnumberedKeyTest : public ::testing::TestWithParam<UnnumberedCase> {};

// Never 0 (that would read as "no key" and tag the cursor row) and beyond
// every cell, whatever flags the plug-in adds.
TEST_P(UnnumberedKeyTest, GetsACodeNoCellHolds)
{
    const UnnumberedCase& c = GetParam();
    for (int extended = 0; extended <= 1; ++extended) {
        int32_t code = HostKeyCode(c.virtualKey, c.character, c.modifiers, extended);
        EXPECT_NE(0, code);
        EXPECT_GE(code & 0x1FFFF, (int32_t)HostUnnumberedBase);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, UnnumberedKeyTest, ::testing::ValuesIn(UnnumberedCases),
    [](const ::testing::TestParamInfo<UnnumberedCase>& info) { return std::string(info.param.name); });

TEST(HostKeyCode, NoKeyEverGetsZero)
{
    for (int key = 1; key < 255; ++key)
        for (int modifiers = 0; modifiers < 8; ++modifiers)
            for (int extended = 0; extended <= 1; ++extended) {
                ASSERT_NE(0, HostKeyCode((WORD)key, 0, modifiers, extended)) << key;
            }
}

TEST(HostModifierMask, ReadsEitherSideAndIgnoresLocks)
{
    EXPECT_EQ(C | A, HostModifierMask(RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED));
    EXPECT_EQ(C | A, HostModifierMask(LEFT_ALT_PRESSED | RIGHT_CTRL_PRESSED));
    EXPECT_EQ(S, HostModifierMask(SHIFT_PRESSED | NUMLOCK_ON | CAPSLOCK_ON | ENHANCED_KEY));
    EXPECT_EQ(0, HostModifierMask(SCROLLLOCK_ON));
}

TEST(SessionLine, KeepsWithinCapacityAndNeverSplitsAPair)
{
    SessionLine line;
    LineClear(&line);
    for (int i = 0; i < SessionLineCapacity - 1; ++i)
        ASSERT_TRUE(LineAppend(&line, L'x'));
    EXPECT_FALSE(LineAppend(&line, 0xD83D)); // a high surrogate with no room for its partner
    EXPECT_TRUE(LineAppend(&line, L'y'));
    EXPECT_FALSE(LineAppend(&line, L'z'));
    EXPECT_EQ(SessionLineCapacity, line.length);
    EXPECT_EQ(0, line.text[SessionLineCapacity]);
}

TEST(SessionLine, EraseTakesASurrogatePairWhole)
{
    SessionLine line;
    LineClear(&line);
    LineAppend(&line, L'a');
    LineAppend(&line, 0xD83D);
    LineAppend(&line, 0xDE00);
    EXPECT_EQ(2, LineEraseLast(&line));
    EXPECT_STREQ(L"a", line.text);
    EXPECT_EQ(1, LineEraseLast(&line));
    EXPECT_EQ(0, LineEraseLast(&line));
    EXPECT_STREQ(L"", line.text);
}

struct SplitCase {
    const char* name;
    const WCHAR* line;
    const WCHAR* word;
    const WCHAR* rest;
};

const SplitCase SplitCases[] = {
    {"WordAndRest", L"mirvane /B:Ctrl-Up /W:N", L"mirvane", L"/B:Ctrl-Up /W:N"},
    {"LeadingAndInnerBlanks", L" \t count \t 40", L"count", L"40"},
    {"WordAlone", L"dir", L"dir", L""},
    {"Blank", L"   ", L"", L""},
    {"TrailingBlanksKept", L"mirvane /L  ", L"mirvane", L"/L  "},
};

class SplitCommandTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandTest, Splits)
{
    std::wstring word;
    std::wstring rest;
    SplitCommand(GetParam().line, &word, &rest);
    EXPECT_EQ(std::wstring(GetParam().word), word);
    EXPECT_EQ(std::wstring(GetParam().rest), rest);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitCommandTest, ::testing::ValuesIn(SplitCases),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SameWord, FoldsOnlyAsciiCase)
{
    EXPECT_TRUE(SameWord(L"MirVane", L"mirvane"));
    EXPECT_FALSE(SameWord(L"mirvan", L"mirvane"));
    EXPECT_FALSE(SameWord(L"mirvanes", L"mirvane"));
    EXPECT_FALSE(SameWord(L"\u00C9xit", L"\u00E9xit"));
}

TEST(ParseCount, AcceptsOneToMaxOrBlank)
{
    int count = 0;
    EXPECT_TRUE(ParseCount(L"", 20, 100, &count));
    EXPECT_EQ(20, count);
    EXPECT_TRUE(ParseCount(L"40  ", 20, 100, &count));
    EXPECT_EQ(40, count);
    EXPECT_TRUE(ParseCount(L"100", 20, 100, &count));
    EXPECT_EQ(100, count);
    EXPECT_FALSE(ParseCount(L"101", 20, 100, &count));
    EXPECT_FALSE(ParseCount(L"0", 20, 100, &count));
    EXPECT_FALSE(ParseCount(L"-3", 20, 100, &count));
    EXPECT_FALSE(ParseCount(L"4x", 20, 100, &count));
    EXPECT_FALSE(ParseCount(L"99999999999999999999999", 20, 100, &count));
}

// The prompt leaves this many cells at the end of its row, so that a short
// line wraps.
enum { PromptRoom = 4 };

// On the buffer's last row a line that wraps scrolls the buffer up a row
// under it.
enum PromptPlace { NearTheTop, OnTheLastRow };

struct TypingCase {
    const char* name;
    PromptPlace place;
    const WCHAR* keys; // '\b' is Backspace, '\x1b' Esc, anything else typed
    const WCHAR* line; // the text afterwards, and what the screen shows from the start
};

const TypingCase TypingCases[] = {
    {"ALineThatWraps", NearTheTop, L"count 5", L"count 5"},
    {"BackspaceAtTheWrap", NearTheTop, L"coun\b", L"cou"},
    {"BackspaceBackOverTheWrap", NearTheTop, L"count 5\b\b\b\b", L"cou"},
    {"EscClearsAWrappedLine", NearTheTop, L"count 5\x1b", L""},
    {"TypingAfterEscStartsAtTheLineStart", NearTheTop, L"count 5\x1b" L"count 3", L"count 3"},
    {"BackspaceTakesASurrogatePairWhole", NearTheTop, L"a\xD83D\xDE00\b", L"a"},
    {"EscClearsASurrogatePair", NearTheTop, L"a\xD83D\xDE00" L"bcd\x1b", L""},
    {"ALineThatScrollsTheBuffer", OnTheLastRow, L"count 5", L"count 5"},
    {"BackspaceAfterTheBufferScrolled", OnTheLastRow, L"count 5\b\b\b\b", L"cou"},
    {"EscAfterTheBufferScrolled", OnTheLastRow, L"count 5\x1b", L""},
};

WORD VirtualKeyOf(WCHAR key)
{
    if (key == L'\b')
        return VK_BACK;
    if (key == 0x1B)
        return VK_ESCAPE;
    return VK_PACKET;
}

COORD CellsAfter(COORD start, int cells, int width)
{
    int offset = start.X + cells;
    return COORD{(SHORT)(offset % width), (SHORT)(start.Y + offset / width)};
}

// The session echoes to standard output, which the report took over (main):
// the console is given back to it for the length of a case.
class TypedLineTest : public ::testing::TestWithParam<TypingCase> {
protected:
    void SetUp() override
    {
        report = GetStdHandle(STD_OUTPUT_HANDLE);
        console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, console);
        SetStdHandle(STD_OUTPUT_HANDLE, console);
    }

    void TearDown() override
    {
        SetStdHandle(STD_OUTPUT_HANDLE, report);
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
    }

    // A prompt at the start of a blanked row, and blank rows after it.
    void WritePrompt(int width, int row)
    {
        COORD at = {0, (SHORT)row};
        DWORD written = 0;
        FillConsoleOutputCharacterW(console, L' ', (DWORD)(width * 3), at, &written);
        SetConsoleCursorPosition(console, at);
        SessionWrite(std::wstring((size_t)(width - PromptRoom), L'>'));
    }

    std::wstring ReadCells(COORD from, int count)
    {
        std::wstring cells((size_t)count, L'?');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(console, &cells[0], (DWORD)count, from, &read);
        cells.resize(read);
        return cells;
    }

    HANDLE report = INVALID_HANDLE_VALUE;
    HANDLE console = INVALID_HANDLE_VALUE;
};

// Every key of a line goes to the plug-in with the row the line began on,
// however far the typing wrapped; once that scrolled the buffer, with the
// row it begins on now, one higher (a host follows its line, as the plug-in
// expects), and Esc leaves nothing behind.
TEST_P(TypedLineTest, KeepsTheStartRowAndTheScreenInStep)
{
    const TypingCase& c = GetParam();
    CONSOLE_SCREEN_BUFFER_INFO info;
    ASSERT_TRUE(ReadBufferInfo(&info));
    int width = info.dwSize.X;
    int promptRow = c.place == OnTheLastRow ? info.dwSize.Y - 1 : 2;
    int rowsScrolled = c.place == OnTheLastRow ? 1 : 0;
    WritePrompt(width, promptRow);
    TypedLine line;
    BeginTypedLine(&line);

    std::wstring keys = c.keys;
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(promptRow - (i >= PromptRoom ? rowsScrolled : 0), TypedLineRow(line)) << "key " << i;
        EditTypedLine(&line, VirtualKeyOf(keys[i]), keys[i], 0);
    }
    EXPECT_EQ(promptRow - rowsScrolled, TypedLineRow(line));

    std::wstring expected = c.line;
    EXPECT_EQ(expected, std::wstring(line.text.text));
    COORD start = {(SHORT)(width - PromptRoom), (SHORT)(promptRow - rowsScrolled)};
    COORD cursor = CellsAfter(start, (int)expected.size(), width);
    ASSERT_TRUE(ReadBufferInfo(&info));
    EXPECT_EQ(cursor.X, info.dwCursorPosition.X);
    EXPECT_EQ(cursor.Y, info.dwCursorPosition.Y);
    expected.resize(keys.size(), L' ');
    EXPECT_EQ(expected, ReadCells(start, (int)keys.size()));
}

INSTANTIATE_TEST_SUITE_P(Typing, TypedLineTest, ::testing::ValuesIn(TypingCases),
    [](const ::testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

} // namespace

int main(int argc, char** argv)
{
    // Under cmake/wine-run.sh the console is a terminal full of escapes;
    // the report goes to the file it names.
    const char* report = getenv("MIRVANE_TEST_OUTPUT");
    if (report && *report && !freopen(report, "w", stdout))
        return 3;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
