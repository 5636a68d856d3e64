// Tagging and the hotkeys as a user meets them: lines entered, keys pressed,
// the window's top row after each press and the beeps, on the consoles
// users run.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/cases/harness.h"

// ---- journeys: the window's top row after each hotkey press -------------------------

enum Direction { Forward, Back };

// The window's top row after a press, and whether it beeped. The beep's
// timer runs before each press unless the press is quick: within 750 ms of
// the one before.
struct Press {
    Direction direction;
    int top;
    bool beeps;
    bool quick = false;
};

struct Journey {
    const char* name;
    std::vector<ConsoleKind> consoles; // each ends the journey the same way
    int rows;
    std::vector<int> tags; // entered lines, tagged by the plug-in itself
    int top;
    int windowRows;
    bool wrap;
    std::vector<Press> presses;
};

// Where the classic console and the newer one must agree.
const std::vector<ConsoleKind> LegacyAndModern = {DocumentedConsoleKind, ModernConsoleKind};

const Journey Journeys[] = {
    {"NoTagsBack", LegacyAndModern, 300, {}, 0, 30, true, {{Back, 0, true}}},
    {"NoTagsForward", LegacyAndModern, 300, {}, 0, 30, true, {{Forward, 0, true}}},
    {"BackThenWrapsToLastLimited", LegacyAndModern, 300, {10, 100, 280}, 271, 29, true,
     {{Back, 100, false}, {Back, 10, false}, {Back, 271, false}}},
    {"BackWithoutWrapBeeps", LegacyAndModern, 300, {10, 100, 280}, 271, 29, false,
     {{Back, 100, false}, {Back, 10, false}, {Back, 10, true}}},
    {"ForwardThenWrapsWhenStuck", LegacyAndModern, 300, {10, 100, 280}, 10, 29, true,
     {{Forward, 100, false}, {Forward, 271, false}, {Forward, 10, false}}},
    {"ForwardWithoutWrapBeepsWhenStuck", LegacyAndModern, 300, {10, 100, 280}, 10, 29, false,
     {{Forward, 100, false}, {Forward, 271, false}, {Forward, 271, true}}},
    {"TagAtTopSkippedBack", LegacyAndModern, 300, {50, 100, 150}, 100, 30, false, {{Back, 50, false}}},
    {"TagAtTopSkippedForward", LegacyAndModern, 300, {50, 100, 150}, 100, 30, false, {{Forward, 150, false}}},
    {"OnlyTagAtTopFailsBothWays", LegacyAndModern, 300, {100}, 100, 30, false,
     {{Back, 100, true}, {Forward, 100, true}}},
    {"AllTagsOnScreenAtBottomBackStays", LegacyAndModern, 300, {275, 290}, 271, 29, true, {{Back, 271, false}}},
    {"ForwardToOnlyTagAtRowZero", LegacyAndModern, 300, {0}, 0, 30, true, {{Forward, 0, false}}},
    {"ForwardRowZeroWithoutWrapBeeps", LegacyAndModern, 300, {0}, 0, 30, false, {{Forward, 0, true}}},
    {"BeepsAtMostOncePerPeriod", LegacyAndModern, 300, {}, 0, 30, true,
     {{Back, 0, true}, {Forward, 0, false, true}, {Back, 0, true}}},
    // Column 0 is read 512 rows at a time: tags on both sides of a block's
    // edge, and buffers that end one row short of one.
    {"TagInSecondBlockOf513Rows", LegacyAndModern, 513, {512}, 0, 30, false,
     {{Forward, 483, false}, {Back, 483, true}}},
    {"LastRowOf511Rows", LegacyAndModern, 511, {510}, 0, 30, false, {{Forward, 481, false}}},
    {"BlockEdgesOf1023Rows", LegacyAndModern, 1023, {511, 512, 1022}, 0, 30, false,
     {{Forward, 511, false}, {Forward, 512, false}, {Forward, 993, false}, {Back, 512, false}}},
    {"BlockEdgesOf1535Rows", LegacyAndModern, 1535, {1023, 1024, 1534}, 1505, 30, false,
     {{Back, 1024, false}, {Back, 1023, false}, {Forward, 1024, false}}},
    // Why the marker changes at build 19041: the newer console drops the
    // classic bit, so no tag survives.
    {"ClassicMarkerDoesNotSurvive", {Windows10Version1909}, 300, {10, 100, 280}, 271, 29, true,
     {{Back, 271, true}, {Forward, 271, true}}},
    // Under a pseudo console the scroll-back is the terminal's: the buffer
    // is the window, and no press can move it.
    {"PseudoNoTagBeepsOncePerPeriod", {PseudoConsoleKind}, 30, {}, 0, 30, true,
     {{Back, 0, true}, {Forward, 0, false, true}, {Back, 0, true}}},
    {"PseudoTagOnScreenWithWrapStaysSilent", {PseudoConsoleKind}, 30, {5, 20}, 0, 30, true,
     {{Back, 0, false}, {Forward, 0, false}}},
    {"PseudoTagOnScreenWithoutWrapBeeps", {PseudoConsoleKind}, 30, {5, 20}, 0, 30, false,
     {{Back, 0, true}, {Forward, 0, true}}},
};

// Presses the default hotkey for the direction, the host's Ctrl-Up or
// Ctrl-Down with Ctrl and Alt held, as a keystroke of the line on row.
inline KeyEventRecord PressHotkey(Direction direction, int row = 0)
{
    harness::HoldModifiers(Ctrl | Alt);
    KeyEventRecord event = PressKey(direction == Back ? 0x1008D : 0x10091, row);
    harness::HoldModifiers(NoModifier);
    return event;
}

// The presses in turn: each consumed, and the window's top and height and
// the beep after it.
inline void ExpectPresses(const std::vector<Press>& presses, int windowRows, int row = 0)
{
    for (size_t i = 0; i < presses.size(); ++i) {
        const Press& press = presses[i];
        if (!press.quick)
            harness::LetBeepTimerRun();
        EXPECT_EQ(PressHotkey(press.direction, row).code, 0) << "press " << i + 1 << " is consumed";
        SMALL_RECT window = harness::Window();
        EXPECT_EQ(window.Top, press.top) << "press " << i + 1;
        EXPECT_EQ(window.Bottom - window.Top + 1, windowRows) << "press " << i + 1;
        EXPECT_EQ(harness::BeepsSinceAsked(), press.beeps ? 1 : 0) << "press " << i + 1;
    }
}

// One journey on one of its consoles.
struct JourneyRun {
    std::string name;
    const Journey* journey;
    ConsoleKind console;
};

inline std::vector<JourneyRun> JourneyRuns()
{
    std::vector<JourneyRun> runs;
    for (const Journey& j : Journeys) {
        for (const ConsoleKind& console : j.consoles)
            runs.push_back({std::string(j.name) + "_" + console.name, &j, console});
    }
    return runs;
}

// ---- keystrokes: which row is tagged, which key moves the window -----------------------

enum KeyOutcome { Passes, TagsLineRow, TagsCursorRow, ScrollsBack, ScrollsForward };

// Laid out for every key case: tags at rows 50 and 250 either side of the
// window's top row, the cursor and the line on rows of their own.
enum { KeyCaseTop = 100, KeyCaseBackRow = 50, KeyCaseForwardRow = 250, KeyCaseLineRow = 20, KeyCaseCursorRow = 7 };

struct KeyCase {
    const char* name;
    const WCHAR* hostVersion;
    int32_t code;
    const WCHAR* keyName; // null: none
    bool context;
    int held;              // Modifier bits
    const WCHAR* hotkeys;  // arguments of a command run first; null: the defaults
    KeyOutcome outcome;
};

const WCHAR* const OlderHost = TEXT("23.0");
const WCHAR* const NewerHost = TEXT("24.0");

// The host's codes: Enter 13, Ctrl-Enter 0xC0D; Ctrl-Up 0x1008D and
// Ctrl-Down 0x10091 are the default hotkeys once Ctrl and Alt are held;
// Down alone is 0x10050.
const KeyCase KeyCases[] = {
    {"OlderEnterTagsLine", OlderHost, 13, nullptr, false, NoModifier, nullptr, TagsLineRow},
    {"NewerEnterTagsLine", NewerHost, 13, nullptr, false, Ctrl | Alt, nullptr, TagsLineRow},
    {"OlderCtrlEnterTagsLine", OlderHost, 0xC0D, nullptr, false, NoModifier, nullptr, TagsLineRow},
    {"NewerCtrlEnterTagsLine", NewerHost, 0xC0D, nullptr, true, NoModifier, nullptr, TagsLineRow},
    {"OlderNoKeyTagsCursorIgnoringNameAndContext", OlderHost, 0, TEXT("Enter"), true, NoModifier, nullptr,
     TagsCursorRow},
    {"NewerEnterByNameInAnyCase", NewerHost, 0, TEXT("eNTer"), true, NoModifier, nullptr, TagsLineRow},
    {"NewerCtrlEnterByName", NewerHost, 0, TEXT("Ctrl-Enter"), true, NoModifier, nullptr, TagsLineRow},
    {"NewerShiftEnterByNameIsNoLine", NewerHost, 0, TEXT("Shift-Enter"), false, NoModifier, nullptr, Passes},
    {"NewerNoNameNoContextTagsCursor", NewerHost, 0, nullptr, false, NoModifier, nullptr, TagsCursorRow},
    {"NewerUnknownNameNoContextTagsCursor", NewerHost, 0, TEXT("NoSuchKey"), false, NoModifier, nullptr,
     TagsCursorRow},
    {"NewerNoNameWithContextDoesNothing", NewerHost, 0, nullptr, true, Ctrl | Alt, nullptr, Passes},
    // No copy hotkey is 0, and so is this event's code: it still copies nothing.
    {"NewerKeylessEventNeverCopies", NewerHost, 0, nullptr, true, NoModifier, nullptr, Passes},
    {"NoCopyHotkeyCtrlAltCPasses", NewerHost, 0x1002E, nullptr, false, Ctrl | Alt, nullptr, Passes},
    {"CopyHotkeyEqualToBackScrollsBack", NewerHost, 0x1008D, nullptr, false, Ctrl | Alt, TEXT("/C:Ctrl-Alt-Up"),
     ScrollsBack},
    {"OlderCtrlAltUpScrollsBack", OlderHost, 0x1008D, TEXT("Up"), true, Ctrl | Alt, nullptr, ScrollsBack},
    {"NewerCtrlAltUpScrollsBack", NewerHost, 0x1008D, TEXT("Ctrl-Up"), false, Ctrl | Alt, nullptr, ScrollsBack},
    {"NewerHotkeyWithoutName", NewerHost, 0x1008D, nullptr, false, Ctrl | Alt, nullptr, ScrollsBack},
    {"NewerHotkeyByName", NewerHost, 0, TEXT("Ctrl-Alt-Down"), false, NoModifier, nullptr, ScrollsForward},
    {"CtrlAltDownScrollsForward", OlderHost, 0x10091, nullptr, false, Ctrl | Alt, nullptr, ScrollsForward},
    {"CtrlAloneIsNoHotkey", NewerHost, 0x1008D, nullptr, false, Ctrl, nullptr, Passes},
    {"AltShiftAddsNothing", NewerHost, 0x1008D, nullptr, false, Alt | Shift, TEXT("/B:Ctrl-Up"), ScrollsBack},
    {"CtrlShiftAddsItsFlag", OlderHost, 0x10050, nullptr, false, Ctrl | Shift, TEXT("/F:Ctrl-Shift-Down"),
     ScrollsForward},
    {"FlagsGoOnTopOfTheHostsBits", NewerHost, 0x5008D, nullptr, false, Ctrl | Alt, nullptr, ScrollsBack},
    {"NewerCtrlAltShiftMissesDefault", NewerHost, 0x1008D, nullptr, false, Shift | Ctrl | Alt, nullptr, Passes},
    {"NewerCtrlAltShiftAddsBothFlags", NewerHost, 0x1008D, nullptr, false, Shift | Ctrl | Alt,
     TEXT("/B:Ctrl-Alt-Shift-Up"), ScrollsBack},
    {"OlderCtrlAltShiftAddsNothing", OlderHost, 0x1008D, nullptr, false, Shift | Ctrl | Alt, TEXT("/B:Ctrl-Up"),
     ScrollsBack},
    {"EqualHotkeysScrollBack", NewerHost, 0x10091, nullptr, false, Ctrl | Alt, TEXT("/B:Ctrl-Alt-Down"),
     ScrollsBack},
};

// ---- the tagged cell's colours ------------------------------------------------------------

// Column 0 of an entered line before and after tagging. Escape-coloured
// cells come back as their nearest legacy colour.
struct TagColourCase {
    const char* name;
    ConsoleKind console;
    bool visible; // "mirvane /VM:Y" first
    WORD before;
    bool escapeColoured;
    WORD after;
};

const TagColourCase TagColourCases[] = {
    {"Plain", DocumentedConsoleKind, false, 0x0007, false, 0x2007},
    {"ColoursAndUnderscoreKept", DocumentedConsoleKind, false, 0x801E, false, 0xA01E},
    {"Visible", DocumentedConsoleKind, true, 0x0007, false, 0x201F},
    {"VisibleOnBlue", DocumentedConsoleKind, true, 0x0017, false, 0x204E},
    {"VisibleOnBrightBlue", DocumentedConsoleKind, true, 0x0097, false, 0x201F},
    {"VisibleAlreadyTagged", DocumentedConsoleKind, true, 0x2017, false, 0x2017},
    {"NewerMarkerKeepsHighBits", LegacyOnWindows11, false, 0x8417, false, 0x8C17},
    {"NewerMarkerVisibleKeepsHighBits", LegacyOnWindows11, true, 0x8417, false, 0x8C4E},
    {"NewerMarkerVisibleAlreadyTagged", LegacyOnWindows11, true, 0x0807, false, 0x0807},
    {"ModernLegacyCell", ModernConsoleKind, false, 0x8417, false, 0x8C17},
    {"ModernEscapeColouredPrompt", ModernConsoleKind, false, 0x000E, true, 0x080E},
    {"ModernEscapeColouredPromptVisible", ModernConsoleKind, true, 0x001E, true, 0x084E},
    {"ModernDropsTheClassicMarker", Windows10Version1909, false, 0x0007, false, 0x0007},
    {"PseudoChangesOnlyTheMarkerBit", PseudoConsoleKind, false, 0x4417, false, 0x4C17},
};

// Rows no entered line can be tagged on: outside a 300-row buffer, or beyond
// the 16 bits of a console coordinate (65556 would wrap round to row 20).
const int RowsOutsideTheBuffer[] = {-1, 300, 32767, 32768, 0x10000 + 20};

// Cases print as their names in failure messages.
inline void PrintTo(const JourneyRun& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

inline void PrintTo(const TagColourCase& c, std::ostream* os)
{
    *os << c.name;
}
