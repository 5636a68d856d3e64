// Moving the window between tagged rows, and the rate-limited error beep.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "standins/host/host_standin.h"
#include "navigation/navigation.h"
#include "plugin/state.h"
#include "standins/windows/standin_control.h"

namespace {

constexpr WORD Marker = MarkerAttributeClassic;
enum Direction { Forward = 0, Back = 1 };

class NavigationSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        CancelBeepTimer(); // a timer left by an earlier test must not be dispatched
        standin::Reset();
        HostReset();
        ResetModuleState();
    }

    // A buffer of rows x 100 with column 0 tagged at tags and a window of
    // windowRows rows whose top row is top.
    static void Console(int rows, std::vector<int> tags, int top, int windowRows)
    {
        standin::SetConsole(100, rows);
        for (int row : tags)
            standin::SetAttribute(0, row, 0x07 | Marker);
        standin::SetWindow({0, (SHORT)top, 99, (SHORT)(top + windowRows - 1)});
    }
    static int Top() { return standin::Window().Top; }
    static size_t Beeps() { return standin::Beeps().size(); }
};

// A console as users run it, and the marker bit start-up chose for it.
struct ConsoleKind {
    const char* name;
    const standin::ConsoleProfile* profile;
    WORD marker;
};

const ConsoleKind kDocumented = {"Documented", &standin::DocumentedConsole, MarkerAttributeClassic};
const ConsoleKind kModern = {"Modern", &standin::ModernConsole, MarkerAttributeModern};
// The threshold's reason: the newer console drops the classic bit.
const ConsoleKind kModernClassicMarker = {"ModernClassicMarker", &standin::ModernConsole,
                                          MarkerAttributeClassic};
const ConsoleKind kPseudo = {"Pseudo", &standin::PseudoConsole, MarkerAttributeModern};

// One press: the window top it leaves, and whether it beeped. The beep timer
// runs between presses, so that every failure may beep, unless a press is
// quick: within 750 ms of the one before.
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
    std::vector<int> tags; // tagged by the plug-in, as an entered line is
    int top;
    int windowRows;
    int wrap;
    std::vector<Press> presses;
};

const std::vector<ConsoleKind> kLegacy = {kDocumented, kModern};

const Journey kJourneys[] = {
    {"NoTagsBack", kLegacy, 300, {}, 0, 30, 1, {{Back, 0, true}}},
    {"NoTagsForward", kLegacy, 300, {}, 0, 30, 1, {{Forward, 0, true}}},
    {"BackThenWrapsToLastLimited", kLegacy, 300, {10, 100, 280}, 271, 29, 1,
     {{Back, 100, false}, {Back, 10, false}, {Back, 271, false}}},
    {"BackWithoutWrapBeeps", kLegacy, 300, {10, 100, 280}, 271, 29, 0,
     {{Back, 100, false}, {Back, 10, false}, {Back, 10, true}}},
    {"ForwardThenWrapsWhenStuck", kLegacy, 300, {10, 100, 280}, 10, 29, 1,
     {{Forward, 100, false}, {Forward, 271, false}, {Forward, 10, false}}},
    {"ForwardWithoutWrapBeepsWhenStuck", kLegacy, 300, {10, 100, 280}, 10, 29, 0,
     {{Forward, 100, false}, {Forward, 271, false}, {Forward, 271, true}}},
    {"TagAtTopSkippedBack", kLegacy, 300, {50, 100, 150}, 100, 30, 0, {{Back, 50, false}}},
    {"TagAtTopSkippedForward", kLegacy, 300, {50, 100, 150}, 100, 30, 0, {{Forward, 150, false}}},
    {"OnlyTagAtTopFailsBothWays", kLegacy, 300, {100}, 100, 30, 0,
     {{Back, 100, true}, {Forward, 100, true}}},
    {"AllTagsOnScreenAtBottomBackStays", kLegacy, 300, {275, 290}, 271, 29, 1, {{Back, 271, false}}},
    {"ForwardToOnlyTagAtRowZero", kLegacy, 300, {0}, 0, 30, 1, {{Forward, 0, false}}},
    {"ForwardRowZeroWithoutWrapBeeps", kLegacy, 300, {0}, 0, 30, 0, {{Forward, 0, true}}},
    {"TagInSecondBlockFound", kLegacy, 513, {512}, 0, 30, 0, {{Forward, 483, false}, {Back, 483, true}}},
    {"ClassicMarkerDoesNotSurvive", {kModernClassicMarker}, 300, {10, 100, 280}, 271, 29, 1,
     {{Back, 271, true}, {Forward, 271, true}}},
    // The scroll-back is the terminal's: the buffer is the window.
    {"NoTagBeepsOncePerPeriod", {kPseudo}, 30, {}, 0, 30, 1,
     {{Back, 0, true}, {Forward, 0, false, true}, {Back, 0, true}}},
    {"TagOnScreenWithWrapNeitherMovesNorBeeps", {kPseudo}, 30, {5, 20}, 0, 30, 1,
     {{Back, 0, false}, {Forward, 0, false}}},
    {"TagOnScreenWithoutWrapBeeps", {kPseudo}, 30, {5, 20}, 0, 30, 0,
     {{Back, 0, true}, {Forward, 0, true}}},
};

// A journey on one console.
struct JourneyOn {
    const Journey* journey;
    ConsoleKind console;
};

std::vector<JourneyOn> JourneysOnTheirConsoles()
{
    std::vector<JourneyOn> runs;
    for (const Journey& j : kJourneys) {
        for (const ConsoleKind& console : j.consoles)
            runs.push_back({&j, console});
    }
    return runs;
}

void PrintTo(const JourneyOn& run, std::ostream* os)
{
    *os << run.journey->name << " on " << run.console.name;
}

class Journeys : public NavigationSearch, public ::testing::WithParamInterface<JourneyOn> {};

TEST_P(Journeys, LeavesTheWindowAtEachTop)
{
    const Journey& j = *GetParam().journey;
    standin::SetConsoleProfile(*GetParam().console.profile);
    Startup.markerAttribute = GetParam().console.marker;
    standin::SetConsole(100, j.rows);
    for (int row : j.tags)
        MarkRow(row);
    standin::SetWindow({0, (SHORT)j.top, 99, (SHORT)(j.top + j.windowRows - 1)});
    Settings.Wrap = j.wrap;
    for (size_t i = 0; i < j.presses.size(); ++i) {
        if (i > 0 && !j.presses[i].quick)
            standin::FireTimers();
        size_t beeps = Beeps();
        ScrollToMarkedRow(j.presses[i].direction == Back);
        EXPECT_EQ(Top(), j.presses[i].top) << "press " << i;
        EXPECT_EQ(Beeps() - beeps, j.presses[i].beeps ? 1u : 0u) << "press " << i;
        EXPECT_EQ(standin::Window().Bottom - Top() + 1, j.windowRows);
    }
    EXPECT_EQ(standin::OpenConsoleHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(, Journeys, ::testing::ValuesIn(JourneysOnTheirConsoles()),
                         [](const auto& info) {
                             return std::string(info.param.journey->name) + "_" + info.param.console.name;
                         });

TEST_F(NavigationSearch, ReadsColumnZeroInBlocksOf512Rows)
{
    const struct {
        int rows;
        int reads;
    } cases[] = {{300, 1}, {512, 1}, {513, 2}, {9001, 18}, {32766, 64}};
    for (const auto& c : cases) {
        Console(c.rows, {c.rows - 1}, 0, 30);
        standin::ClearCallLog();
        ScrollToMarkedRow(Forward);
        EXPECT_EQ(standin::CallCount(standin::Api::ReadConsoleOutputW), c.reads) << c.rows;
        EXPECT_EQ(standin::CallCount(standin::Api::GetConsoleScreenBufferInfo), 1) << c.rows;
        EXPECT_EQ(Top(), c.rows - 30) << c.rows;
    }
}

TEST_F(NavigationSearch, WindowScrolledRightReturnsToColumnZeroKeepingItsWidth)
{
    standin::SetConsole(200, 300);
    standin::SetAttribute(0, 100, Marker);
    standin::SetWindow({50, 0, 129, 29});
    ScrollToMarkedRow(Forward);
    SMALL_RECT w = standin::Window();
    EXPECT_EQ(w.Left, 0);
    EXPECT_EQ(w.Right, 79);
    EXPECT_EQ(w.Top, 100);
    EXPECT_EQ(w.Bottom, 129);
}

// Every console failure ends in the one beep, with nothing left open.
struct Fault {
    const char* name;
    std::function<void()> inject;
};

const Fault kFaults[] = {
    {"NoConsole", [] { standin::SetConsoleAvailable(false); }},
    {"InfoUnreadable", [] { standin::FailCall(standin::Api::GetConsoleScreenBufferInfo); }},
    {"FirstBlockUnreadable", [] { standin::FailCall(standin::Api::ReadConsoleOutputW); }},
    {"LaterBlockUnreadableAfterTagsSeen", [] { standin::FailCall(standin::Api::ReadConsoleOutputW, 2); }},
    {"BufferShrankBeforeLaterBlock",
     [] { standin::BeforeCall(standin::Api::ReadConsoleOutputW, [] {
              standin::BeforeCall(standin::Api::ReadConsoleOutputW, [] { standin::SetConsole(100, 520); });
          }); }},
    {"WindowCannotMove", [] { standin::FailCall(standin::Api::SetConsoleWindowInfo); }},
};

void PrintTo(const Fault& f, std::ostream* os)
{
    *os << f.name;
}

class Faults : public NavigationSearch, public ::testing::WithParamInterface<Fault> {};

TEST_P(Faults, BeepOnceAndCloseEverything)
{
    Console(1000, {10, 600}, 700, 30);
    GetParam().inject();
    ScrollToMarkedRow(Back);
    EXPECT_EQ(Beeps(), 1u);
    EXPECT_EQ(standin::OpenConsoleHandles(), 0);
    EXPECT_NE(standin::Window().Top, 600);
    EXPECT_NE(standin::Window().Top, 10);
}

INSTANTIATE_TEST_SUITE_P(, Faults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationSearch, BeepsAtMostOncePerTimerPeriod)
{
    ScrollToMarkedRow(Back);
    ScrollToMarkedRow(Forward);
    ASSERT_EQ(Beeps(), 1u);
    EXPECT_EQ(standin::Beeps()[0], (UINT)MB_OK);
    ASSERT_EQ(standin::Timers().size(), 1u);
    EXPECT_EQ(standin::Timers()[0].window, nullptr);
    EXPECT_EQ(standin::Timers()[0].elapse, 750u);
    EXPECT_EQ(ErrorBeep.armed, 0);
    standin::FireTimers();
    EXPECT_TRUE(standin::Timers().empty()); // fires once
    EXPECT_EQ(ErrorBeep.armed, 1);
    ScrollToMarkedRow(Back);
    EXPECT_EQ(Beeps(), 2u);
}

TEST_F(NavigationSearch, ErrorSoundOffNeitherBeepsNorStartsATimer)
{
    Settings.ErrorSound = 0;
    ScrollToMarkedRow(Back);
    EXPECT_EQ(Beeps(), 0u);
    EXPECT_EQ(standin::CallCount(standin::Api::SetTimer), 0);
    EXPECT_EQ(ErrorBeep.armed, 1);
}

TEST_F(NavigationSearch, CancelBeepTimerKillsThePendingTimerAndRearms)
{
    ScrollToMarkedRow(Back);
    CancelBeepTimer();
    EXPECT_TRUE(standin::Timers().empty());
    ScrollToMarkedRow(Back);
    EXPECT_EQ(Beeps(), 2u);
}

TEST_F(NavigationSearch, CancelBeepTimerNeverKillsATimerThatAlreadyRan)
{
    ScrollToMarkedRow(Back);
    standin::FireTimers();
    CancelBeepTimer();
    EXPECT_EQ(standin::CallCount(standin::Api::KillTimer), 1);
}

TEST_F(NavigationSearch, FailedSetTimerStillBeepsAndKeepsTheBeepArmed)
{
    standin::FailCall(standin::Api::SetTimer);
    ScrollToMarkedRow(Back);
    ScrollToMarkedRow(Back);
    EXPECT_EQ(Beeps(), 2u);
    EXPECT_EQ(standin::Timers().size(), 1u);
}

} // namespace
