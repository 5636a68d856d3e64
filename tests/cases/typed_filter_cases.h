// Find by typing: with the typed filter on and the start of a command typed
// at the prompt, the back and forward hotkeys visit only the commands that
// begin that way, by the rules they follow for every command.
#pragma once

#include <vector>

#include "tests/cases/navigation_cases.h"

// An entered line: written from column 0 and tagged.
struct EnteredLine {
    int row;
    Text text;
};

enum { TypedRows = 300, TypedWindowRows = 30, TypedBottomTop = TypedRows - TypedWindowRows, TheLinesRow = -2 };

// The line is typed so that it ends on the buffer's last row; the window
// (30 rows) starts at top, and each press leaves its top where it says.
struct TypedJourney {
    const char* name;
    std::vector<EnteredLine> commands;
    Text prompt;
    Text typed;
    int top;
    bool wrap;
    std::vector<Press> presses;
    int columns = 80;
    int pressRow = TheLinesRow; // the row the presses give
    Scrolling scrolling = Scrolling::None; // the prompt on the buffer's last row, and the typing scrolls it
};

// Two commands begin "git st" on rows 20 and 60 and one more on row 298,
// which the window at the bottom shows; the others begin otherwise or hold
// "git st" only in an argument.
const std::vector<EnteredLine> GitSession = {
    {20, TEXT("C:\\src>git status")}, {40, TEXT("C:\\src>dir")},
    {60, TEXT("C:\\src>git stash")},  {80, TEXT("C:\\src>echo git st")},
    {100, TEXT("C:\\src>count 5")},   {298, TEXT("C:\\src>git stash list")},
};

const Text SrcPrompt = TEXT("C:\\src>");
// 77 characters: in 80 columns, "git st" typed after it wraps.
const Text LongPrompt = TEXT("C:\\") + Text(73, 'd') + TEXT(">");

// "echo " and that many letters a.
inline Text EchoAs(int count)
{
    return TEXT("echo ") + Text(count, 'a');
}

inline std::vector<TypedJourney> TypedJourneys()
{
    const int bottom = TypedBottomTop;
    return {
        // The last match is on screen with the window at the bottom: wrapping
        // back leaves the window where it is, without a beep.
        {"BackVisitsOnlyMatchesThenWraps", GitSession, SrcPrompt, TEXT("git st"), bottom, true,
         {{Back, 60, false}, {Back, 20, false}, {Back, bottom, false}}},
        {"BackWithoutWrapBeeps", GitSession, SrcPrompt, TEXT("git st"), bottom, false,
         {{Back, 60, false}, {Back, 20, false}, {Back, 20, true}}},
        // The match on screen cannot move the window: forward wraps to the first.
        {"ForwardVisitsOnlyMatchesThenWraps", GitSession, SrcPrompt, TEXT("git st"), 0, true,
         {{Forward, 20, false}, {Forward, 60, false}, {Forward, bottom, false}, {Forward, 20, false}}},
        {"ForwardWithoutWrapBeepsWhenStuck", GitSession, SrcPrompt, TEXT("git st"), 0, false,
         {{Forward, 20, false}, {Forward, 60, false}, {Forward, bottom, false}, {Forward, bottom, true}}},
        {"NoMatchBeeps", GitSession, SrcPrompt, TEXT("zz"), bottom, true,
         {{Back, bottom, true}, {Forward, bottom, true}}},
        // Nothing typed, or only spaces: every tagged row counts.
        {"EmptyLineIsNoFilter", GitSession, SrcPrompt, TEXT(""), bottom, true,
         {{Back, 100, false}, {Back, 80, false}, {Forward, 100, false}}},
        {"LineOfSpacesIsNoFilter", GitSession, SrcPrompt, TEXT("   "), bottom, true,
         {{Back, 100, false}, {Back, 80, false}, {Forward, 100, false}}},
        {"ArgumentOfAnotherCommandIsNoMatch",
         {{20, TEXT("C:\\src>echo git status")}, {40, TEXT("C:\\src>type git st.txt")}}, SrcPrompt,
         TEXT("git st"), bottom, true, {{Back, bottom, true}}},
        // Only the prompt's own ending counts: not a space, nor a ">" in a command.
        {"PromptEndingInASpace",
         {{20, TEXT("$ git status")}, {40, TEXT("$ echo git st")}, {60, TEXT(" git stash")}}, TEXT("$ "),
         TEXT("git st"), bottom, false, {{Back, 20, false}, {Back, 20, true}}},
        {"GreaterThanInsideACommand",
         {{20, TEXT("C:\\src>make all")}, {40, TEXT("C:\\src>cmake --build build >make.log")}}, SrcPrompt,
         TEXT("make"), bottom, false, {{Back, 20, false}, {Back, 20, true}}},
        {"PromptEndingInGreaterThanAndASpace",
         {{10, TEXT("C:\\src> git status")}, {20, TEXT("C:\\src> echo x> git st")}}, TEXT("C:\\src> "),
         TEXT("git st"), bottom, false, {{Back, 10, false}, {Back, 10, true}}},
        // A prompt holding its ending twice matches only rows that hold it twice.
        {"PromptEndingTwiceInThePrompt",
         {{10, TEXT("[a>b] C:\\>git st")}, {20, TEXT("D:\\>git st")}, {30, TEXT("[x>y] D:\\x>dir >git st")}},
         TEXT("[a>b] C:\\src>"), TEXT("git st"), bottom, false, {{Back, 10, false}, {Back, 10, true}}},
        // Typing after spaces alone: the typed text at the same column.
        {"PromptOfSpacesOnly", {{10, TEXT("  git status")}, {20, TEXT("git stash")}, {30, TEXT("   git st")}},
         TEXT("  "), TEXT("git st"), bottom, false, {{Back, 10, false}, {Back, 10, true}}},
        {"MatchOnRowZero", {{0, TEXT("C:\\src>git status")}, {40, TEXT("C:\\src>dir")}}, SrcPrompt, TEXT("git st"),
         bottom, false, {{Back, 0, false}, {Back, 0, true}}},
        {"PromptsOfTwoFolders",
         {{20, TEXT("C:\\src>git status")}, {40, TEXT("D:\\other\\place>GIT STASH")}, {60, TEXT("C:\\>dir")}},
         SrcPrompt, TEXT("git st"), bottom, false, {{Back, 40, false}, {Back, 20, false}, {Back, 20, true}}},
        // Typing from column 0 matches only at a row's start.
        {"PromptInColumnZero", {{20, TEXT("git status")}, {40, TEXT("> git stash")}, {60, TEXT("gitk")}}, TEXT(""),
         TEXT("git st"), bottom, false, {{Back, 20, false}, {Back, 20, true}}},
        {"AsciiCaseIgnored",
         {{30, TEXT("C:\\src>dir")}, {39, TEXT("C:\\src>git status")}, {40, TEXT("C:\\src>Git Stash")}}, SrcPrompt,
         TEXT("GIT ST"), bottom, false, {{Back, 40, false}, {Back, 39, false}}},
        {"OtherLettersExactly", {{20, TEXT("C:\\src>\u00e9cho")}, {40, TEXT("C:\\src>\u00c9cho")}}, SrcPrompt,
         TEXT("\u00e9c"), bottom, false, {{Back, 20, false}, {Back, 20, true}}},
        // The typed text wraps onto a second row and is read whole; only a
        // command whose first row holds all of it matches.
        {"TypedTextOnTwoRows",
         {{20, TEXT("x>count 1234567890")}, {40, TEXT("x>count 12345678")}, {60, TEXT("C:\\src>count 12345")},
          {61, TEXT("67890")}},
         SrcPrompt, TEXT("count 1234567890"), bottom, false, {{Back, 20, false}, {Back, 20, true}}, 20},
        // Only the first 255 characters typed count; spaces among them stay
        // when more text follows, as they are not the end of what was typed.
        {"TypedTextBeyond255Characters",
         {{20, SrcPrompt + EchoAs(250) + TEXT("zzz")}, {40, SrcPrompt + EchoAs(249) + TEXT("b")}}, SrcPrompt,
         EchoAs(250) + TEXT("b") + Text(10, 'c'), bottom, false, {{Back, 20, false}, {Back, 20, true}}, 400},
        // A row naming no line changes nothing; one above begins a line unless the buffer moved.
        {"BackWithRowMinusOne", GitSession, SrcPrompt, TEXT("git st"), bottom, false, {{Back, 60, false}}, 80, -1},
        {"ForwardRowBelowCursor", GitSession, SrcPrompt, TEXT("git st"), 30, false, {{Forward, 60, false}}, 80, 300},
        {"RowAboveWithoutThePrompt", GitSession, SrcPrompt, TEXT("git st"), bottom, false, {{Back, 100, false}},
         80, 150},
        {"RowAboveWithThePromptStillOnTheLinesRow", GitSession, SrcPrompt, TEXT("git st"), bottom, false,
         {{Back, 100, false}}, 80, 20},
        // The buffer scrolls under the line, and the host follows it or not.
        {"BufferScrolledUnderAHostThatFollows", GitSession, LongPrompt, TEXT("git st"), bottom, false,
         {{Back, 59, false}, {Back, 19, false}}, 80, TheLinesRow, Scrolling::HostFollows},
        {"BufferScrolledUnderAHostThatStays", GitSession, LongPrompt, TEXT("git st"), bottom, false,
         {{Back, bottom, true}}, 80, TheLinesRow, Scrolling::HostStays},
        {"SpacesAt255CharactersBeforeMoreText",
         {{20, SrcPrompt + EchoAs(245) + TEXT("x")}, {40, SrcPrompt + EchoAs(245) + TEXT("     zz")}}, SrcPrompt,
         EchoAs(245) + TEXT("     b"), bottom, false, {{Back, 40, false}, {Back, 40, true}}, 400},
    };
}

inline void PrintTo(const TypedJourney& c, std::ostream* os)
{
    *os << c.name;
}
