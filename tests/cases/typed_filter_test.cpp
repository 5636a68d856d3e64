// Find by typing, run on whichever runner this is built into.
#include "tests/cases/typed_filter_cases.h"

namespace {

void EnterCommands(const std::vector<EnteredLine>& commands)
{
    for (const EnteredLine& line : commands) {
        harness::WriteCharacters(0, line.row, line.text);
        EnterLine(line.row);
    }
}

// The prompt and the typed text end on the buffer's last row, or with
// scrolling the prompt stands there; the row the host gives the line.
int TypeAtTheBottom(const Text& prompt, const Text& typed, int columns, Scrolling scrolling = Scrolling::None)
{
    int row = TypedRows - 1 - (scrolling != Scrolling::None ? 0 : (int)(prompt.size() + typed.size()) / columns);
    harness::WriteCharacters(0, row, prompt);
    return TypeLine(row, (int)prompt.size(), typed, columns, scrolling, TypedRows);
}

class TypedJourneyTest : public CaseTest, public ::testing::WithParamInterface<TypedJourney> {};

TEST_P(TypedJourneyTest, VisitsOnlyTheMatchingCommands)
{
    const TypedJourney& j = GetParam();
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(j.wrap ? TEXT("/T:Y /W:Y") : TEXT("/T:Y /W:N")), 0);
    harness::LayConsole(j.columns, TypedRows, 0, j.top, j.columns, TypedWindowRows);
    EnterCommands(j.commands);
    int row = TypeAtTheBottom(j.prompt, j.typed, j.columns, j.scrolling);

    ExpectPresses(j.presses, TypedWindowRows, j.pressRow == TheLinesRow ? row : j.pressRow);
    harness::ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(, TypedJourneyTest, ::testing::ValuesIn(TypedJourneys()), CaseName<TypedJourney>);

// A line entered, by Enter or by an event without a key, forgets its start:
// the next line on the same row number (a full buffer) learns its own.
class NextLineTest : public CaseTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NextLineTest, OnTheSameRowLearnsItsOwnStart)
{
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(TEXT("/T:Y")), 0);
    harness::LayConsole(80, TypedRows, 0, TypedBottomTop, 80, TypedWindowRows);
    EnterCommands(GitSession);
    TypeAtTheBottom(SrcPrompt, TEXT("count 5"), 80);
    if (GetParam())
        PressKey(0, TypedRows - 1);
    else
        EnterLine(TypedRows - 1);

    harness::WriteCharacters(0, TypedRows - 1, Text(80, ' '));
    TypeAtTheBottom(TEXT("D:\\work>"), TEXT("git st"), 80);
    ExpectPresses({{Back, 60, false}}, TypedWindowRows, TypedRows - 1);
}

INSTANTIATE_TEST_SUITE_P(, NextLineTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "KeylessEvent" : "Enter"; });

// A window scrolled below the prompt: a tag below where the typing starts
// never matches, whichever way the search runs.
TEST_F(CaseTest, TagsBelowTheInputStartNeverMatch)
{
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(TEXT("/T:Y /W:Y")), 0);
    harness::LayConsole(80, TypedRows, 0, 200, 80, TypedWindowRows);
    EnterCommands({{50, TEXT("C:\\src>git status")}, {150, TEXT("C:\\src>git stash")}});
    harness::WriteCharacters(0, 100, SrcPrompt);
    TypeLine(100, (int)SrcPrompt.size(), TEXT("git st"), 80);
    ExpectPresses({{Forward, 50, false}, {Back, 50, false}}, TypedWindowRows, 100);
}

// A wide character fills two cells, and its trailing half is no character
// of the typed text, as it is none of a command's.
TEST_F(CaseTest, WideCharacterTypedCountsOnce)
{
    const Text wide = TEXT("echo \u4E2D\u4E2Dx");
    const int leading = (int)SrcPrompt.size() + 5;
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(TEXT("/T:Y /W:N")), 0);
    harness::LayConsole(80, TypedRows, 0, TypedBottomTop, 80, TypedWindowRows);
    EnterCommands({{20, SrcPrompt + wide}, {40, SrcPrompt + wide}});
    int row = TypeAtTheBottom(SrcPrompt, wide, 80);
    for (int wideRow : {20, row}) {
        harness::SetAttribute(leading, wideRow, 0x07 | 0x0100);
        harness::SetAttribute(leading + 1, wideRow, 0x07 | 0x0200);
    }
    ExpectPresses({{Back, 20, false}, {Back, 20, true}}, TypedWindowRows, row);
}

// With the filter off, what is typed changes nothing.
TEST_F(CaseTest, FilterOffVisitsEveryCommand)
{
    StartPlugin(NewerHost);
    harness::LayConsole(80, TypedRows, 0, TypedBottomTop, 80, TypedWindowRows);
    EnterCommands(GitSession);
    TypeAtTheBottom(SrcPrompt, TEXT("git st"), 80);
    ExpectPresses({{Back, 100, false}, {Back, 80, false}}, TypedWindowRows, TypedRows - 1);
}

// With marks on and no scroll-back, the mark at the line's end, also with the
// cursor inside it; VS Code's with the line escaped, a C1 control too. Wine's console, like the documented one, shows
// the sequences as glyphs.
TEST_F(CaseTest, TerminalMarksAtTheLinesEnd)
{
    harness::SetEnvironment(TEXT("TERM_PROGRAM"), Text(TEXT("vscode")));
    StartPlugin(NewerHost);
    ASSERT_EQ(RunCommand(TEXT("/M:Y")), 0);
    harness::LayConsole(80, 30, 0, 0, 80, 30);
    harness::WriteCharacters(0, 10, SrcPrompt);
    TypeLine(10, 7, TEXT("echo a;b\\c\u009c"), 80);
    harness::SetCursor(15, 10);
    EnterLine(10);
    const Text written = TEXT("\x1b]633;E;echo\\x20a\\x3bb\\\\c\\x9c\x1b\\\x1b]633;C\x1b\\ ");
    Text shown;
    for (size_t column = 0; column < written.size(); ++column)
        shown += harness::Character(18 + (int)column, 10);
    EXPECT_EQ(Printable(shown), Printable(written));
}

} // namespace
