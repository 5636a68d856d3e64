// What only the stand-in can show about navigation: the console calls a
// keystroke costs, a buffer that shrinks between reads, the records the
// handler may read, and the beep limiter's timer.
#include <stdlib.h>

#include <vector>

#include "host/exports.h"
#include "test_support.h"

namespace {

using standin::Api;

class NavigationCalls : public PluginTest {
protected:
    // 100 columns, the given rows, tags at tags, the window's top at top.
    static void Lay(int rows, std::vector<int> tags, int top)
    {
        standin::SetConsole(100, rows);
        for (int row : tags)
            standin::SetAttribute(0, row, 0x07 | MarkerAttributeClassic);
        standin::SetWindow({0, (SHORT)top, 99, (SHORT)(top + 29)});
    }
    static size_t Beeps() { return standin::Beeps().size(); }
};

// One console call per 512 rows of column 0, and one buffer query.
TEST_F(NavigationCalls, ReadsColumnZeroInBlocksOf512Rows)
{
    const struct {
        int rows;
        int reads;
    } cases[] = {{300, 1}, {511, 1}, {512, 1}, {513, 2}, {1023, 2}, {1535, 3}, {9001, 18}, {32766, 64}};
    for (const auto& c : cases) {
        Lay(c.rows, {c.rows - 1}, 0);
        standin::ClearCallLog();
        ScrollToMarkedRow(false, 0);
        EXPECT_EQ(standin::CallCount(Api::ReadConsoleOutputW), c.reads) << c.rows;
        EXPECT_EQ(standin::CallCount(Api::GetConsoleScreenBufferInfo), 1) << c.rows;
        EXPECT_EQ(standin::Window().Top, c.rows - 30) << c.rows;
    }
}

// Rows past a block that came back clipped would be whatever the block
// before left there: the search ends with the beep, even though the row it
// would find is still in the smaller buffer.
TEST_F(NavigationCalls, BufferShrinkingBetweenBlocksBeeps)
{
    Lay(1000, {}, 0);
    standin::BeforeCall(Api::ReadConsoleOutputW, [] {
        standin::BeforeCall(Api::ReadConsoleOutputW, [] {
            standin::SetConsole(100, 560);
            standin::SetAttribute(0, 520, 0x07 | MarkerAttributeClassic);
        });
    });
    ScrollToMarkedRow(false, 0);
    EXPECT_EQ(Beeps(), 1u);
    EXPECT_EQ(standin::Window().Top, 0);
}

// The same for the copy hotkey's read of the output: rows the buffer lost
// are never taken from an old block, and the clipboard keeps what it held.
TEST_F(NavigationCalls, BufferShrinkingBeforeTheCopyBeeps)
{
    Lay(300, {10}, 0);
    standin::SetCursor({0, 14});
    for (int row = 11; row < 14; ++row)
        standin::SetCharacter(0, row, u'x');
    standin::SetClipboardText(u"before");
    Settings.CopyHotkey = 0x5002E;
    standin::BeforeCall(Api::ReadConsoleOutputW, [] {
        standin::BeforeCall(Api::ReadConsoleOutputW, [] {
            standin::SetConsole(100, 12);
            standin::SetCharacter(0, 11, u'x');
        });
    });
    CopyCommandOutput(14);
    EXPECT_EQ(Beeps(), 1u);
    EXPECT_EQ(standin::ClipboardText(), std::u16string(u"before"));
    EXPECT_EQ(standin::LiveGlobalBlocks(), 0);
}

// A cell read that comes back as another region tells nothing of the cell:
// the row stays untagged, even with the buffer back by the time of a write.
TEST_F(NavigationCalls, CellReadAsAnotherRegionLeavesTheRowUntagged)
{
    Lay(300, {}, 0);
    standin::BeforeCall(Api::ReadConsoleOutputW, [] { standin::SetConsole(100, 10); });
    standin::BeforeCall(Api::WriteConsoleOutputAttribute, [] { standin::SetConsole(100, 300); });
    MarkRow(20);
    EXPECT_EQ(standin::Attribute(0, 20), 0x07);
}

// A start learnt before the buffer narrowed is past its rows' end: a beep.
TEST_F(NavigationCalls, InputStartPastANarrowedRowBeeps)
{
    Lay(300, {10}, 100);
    Settings.TypedFilter = 1;
    TypingStart = {true, true, {150, 20}, 20};
    standin::SetCursor({3, 21});
    ScrollToMarkedRow(true, 20);
    EXPECT_EQ(Beeps(), 1u);
}

// An ordinary keystroke costs the three modifier reads and nothing else.
TEST_F(NavigationCalls, OrdinaryKeystrokeTouchesNoConsole)
{
    KeyEventRecord record = {};
    record.code = 'a';
    key(&record);
    EXPECT_EQ(standin::CallLog(), std::vector<Api>(3, Api::GetAsyncKeyState));
    EXPECT_EQ(key(nullptr), 0);
    EXPECT_EQ(standin::CallLog().size(), 3u);
}

// The older host's record may be no longer than code and row; the sanitizer
// build catches a read beyond them.
TEST_F(NavigationCalls, EightByteRecordUnderOlderHost)
{
    Lay(300, {50}, 100);
    standin::SetCursor({3, 7});
    KeyEventRecord* record = static_cast<KeyEventRecord*>(malloc(8));
    record->code = 13;
    record->row = 20;
    key(record);
    record->code = 0;
    key(record);
    record->code = 0x1008D;
    standin::SetKeyHeld(VK_CONTROL, true);
    standin::SetKeyHeld(VK_MENU, true);
    key(record);
    EXPECT_EQ(record->code, 0);
    EXPECT_EQ(standin::Window().Top, 50);
    EXPECT_NE(standin::Attribute(0, 20) & MarkerAttributeClassic, 0);
    EXPECT_NE(standin::Attribute(0, 7) & MarkerAttributeClassic, 0);
    free(record);
}

// The beep limiter, step by step: what each step leaves pending and armed,
// and the beeps heard so far.
enum Step { Fail, FailQuietly, TimerRuns, Shutdown, SetTimerRefused, KillTimerRefused };

struct BeepStep {
    Step step;
    size_t beeps;
    size_t timersPending;
    bool armed;
};

// killTimerCalls: a timer id is never killed twice, since Windows may have
// given it to another timer since.
struct BeepCase {
    const char* name;
    std::vector<BeepStep> steps;
    int killTimerCalls;
};

const BeepCase BeepCases[] = {
    {"TimerRearmsOnce", {{Fail, 1, 1, false}, {Fail, 1, 1, false}, {TimerRuns, 1, 0, true}, {Fail, 2, 1, false}}, 1},
    {"ErrorSoundOffNeitherBeepsNorStartsATimer", {{FailQuietly, 0, 0, true}, {FailQuietly, 0, 0, true}}, 0},
    {"ShutdownKillsThePendingTimerOnceAndRearms",
     {{Fail, 1, 1, false}, {Shutdown, 1, 0, true}, {Shutdown, 1, 0, true}, {Fail, 2, 1, false}}, 1},
    {"ShutdownAfterTheTimerRanKillsNothing",
     {{Fail, 1, 1, false}, {TimerRuns, 1, 0, true}, {Shutdown, 1, 0, true}}, 1},
    // No timer means nothing would ever re-arm the beep.
    {"RefusedSetTimerStillBeepsAndStaysArmed", {{SetTimerRefused, 1, 0, true}, {Fail, 2, 1, false}}, 0},
    // A timer that could not be killed in its callback stays pending, so
    // that shutdown still kills it.
    {"TimerThatCouldNotBeKilledIsKilledAtShutdown",
     {{Fail, 1, 1, false}, {KillTimerRefused, 1, 1, true}, {Shutdown, 1, 0, true}}, 2},
};

void PrintTo(const BeepCase& c, std::ostream* os)
{
    *os << c.name;
}

class BeepLimiterTest : public NavigationCalls, public ::testing::WithParamInterface<BeepCase> {};

TEST_P(BeepLimiterTest, Steps)
{
    for (size_t i = 0; i < GetParam().steps.size(); ++i) {
        const BeepStep& s = GetParam().steps[i];
        Settings.ErrorSound = s.step == FailQuietly ? 0 : 1;
        switch (s.step) {
        case Fail:
        case FailQuietly:
            ScrollToMarkedRow(true, 0); // no tag anywhere
            break;
        case SetTimerRefused:
            standin::FailCall(Api::SetTimer);
            ScrollToMarkedRow(true, 0);
            break;
        case TimerRuns:
            standin::FireTimers();
            break;
        case KillTimerRefused:
            standin::FailCall(Api::KillTimer);
            standin::FireTimers();
            break;
        case Shutdown:
            EXPECT_EQ(ShutdownPlugin(FALSE), 0);
            break;
        }
        EXPECT_EQ(Beeps(), s.beeps) << "step " << i + 1;
        EXPECT_EQ(standin::Timers().size(), s.timersPending) << "step " << i + 1;
        EXPECT_EQ(ErrorBeep.armed, s.armed) << "step " << i + 1;
    }
    for (const standin::Timer& timer : standin::Timers()) {
        EXPECT_EQ(timer.window, nullptr);
        EXPECT_EQ(timer.elapse, 750u);
    }
    for (UINT type : standin::Beeps())
        EXPECT_EQ(type, (UINT)MB_OK);
    EXPECT_EQ(standin::CallCount(Api::KillTimer), GetParam().killTimerCalls);
}

INSTANTIATE_TEST_SUITE_P(, BeepLimiterTest, ::testing::ValuesIn(BeepCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
