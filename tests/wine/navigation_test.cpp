// Tagging and the hotkeys on the real Wine console: rows set up and read back
// through the console API, modifiers held through the input queue, the beep
// timer seen through the thread's message pump.
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console_helpers.h"
#include "plugin_fixture.h"

namespace {

// The host's codes for Ctrl-Up and Ctrl-Down; with Alt held too they are the
// default hotkeys.
const int32_t kCtrlUp = 0x1008D;
const int32_t kCtrlDown = 0x10091;
const int32_t kEnter = 13;
const int32_t kCtrlEnter = 0xC0D;

const int kWindowHeight = 29;

// Wine 8's GetProcessHandleCount answers 0 whatever is open, so the handles
// are counted from the system's handle list instead.
struct SystemHandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct SystemHandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry handles[1];
};

typedef LONG(WINAPI* QuerySystemInformationFunction)(ULONG, void*, ULONG, ULONG*);

const ULONG kSystemExtendedHandleInformation = 64;
const LONG kStatusInfoLengthMismatch = (LONG)0xC0000004;

// -1 when the list cannot be read.
long OpenHandleCount()
{
    auto query = reinterpret_cast<QuerySystemInformationFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = query(kSystemExtendedHandleInformation, buffer.data(), (ULONG)buffer.size(), &needed);
        if (status != kStatusInfoLengthMismatch)
            break;
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0)
        return -1;
    const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i) {
        if (list->handles[i].processId == GetCurrentProcessId())
            ++count;
    }
    return count;
}

class ConsoleNavigationTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(console.Open());
    }

    void TearDown() override
    {
        keys.ReleaseAll();
        console.Close();
        PluginTest::TearDown();
    }

    void Start(const WCHAR* hostVersion)
    {
        HostSetVariable(L"_4ver", hostVersion);
        StartPlugin();
    }

    void Configure(const WCHAR* arguments)
    {
        std::wstring line(arguments);
        ASSERT_EQ(command(&line[0]), 0);
    }

    // 300 rows tagged at 10, 100 and 280, a window of 29 rows.
    void LayTaggedBuffer(int top, int width = 100, int left = 0)
    {
        ASSERT_TRUE(console.Lay(width, 300, left, top, 100, kWindowHeight));
        for (int row : {10, 100, 280})
            console.Tag(row);
    }

    KeyEventRecord Press(int32_t code, int32_t row = 0, void* context = nullptr)
    {
        KeyEventRecord event = {};
        event.code = code;
        event.row = row;
        event.context = context;
        EXPECT_EQ(key(&event), 0);
        return event;
    }

    void HoldCtrlAlt()
    {
        keys.Hold(VK_CONTROL);
        keys.Hold(VK_MENU);
    }

    TestConsole console;
    HeldKeys keys;
};

struct LineEnteredCase {
    const char* name;
    const WCHAR* hostVersion;
    int32_t code;
};

class LineEnteredTest : public ConsoleNavigationTest,
                        public ::testing::WithParamInterface<LineEnteredCase> {};

// Only the marker bit of column 0 changes: its colours, the characters and
// every other cell stay as they were, and the key goes on to the host.
TEST_P(LineEnteredTest, TagsColumnZeroOfTheRowGiven)
{
    Start(GetParam().hostVersion);
    ASSERT_TRUE(console.Lay(100, 300, 0, 20, 100, kWindowHeight));
    const std::vector<WORD> colours = {0x1E, 0x4F, 0x07, 0x0407, 0x20, 0x8F};
    console.SetAttributes(0, 40, colours);
    console.WriteCharacters(0, 40, L"dir /w");
    console.SetAttributes(0, 39, {0x1E});
    console.SetAttributes(0, 41, {0x1E});

    KeyEventRecord event = Press(GetParam().code, 40);

    EXPECT_EQ(event.code, GetParam().code) << "an entered line's key is not consumed";
    std::vector<WORD> tagged = colours;
    tagged[0] |= TestConsole::Marker;
    EXPECT_EQ(console.Attributes(0, 40, 6), tagged);
    EXPECT_EQ(console.Characters(0, 40, 6), L"dir /w");
    EXPECT_EQ(console.Attribute(0, 39), 0x1E);
    EXPECT_EQ(console.Attribute(0, 41), 0x1E);
    EXPECT_EQ(console.WindowTop(), 20) << "tagging does not move the window";
}

const LineEnteredCase kLinesEntered[] = {
    {"EnterNewerHost", L"24.0", kEnter},
    {"EnterOlderHost", L"23.0", kEnter},
    {"CtrlEnterNewerHost", L"24.0", kCtrlEnter},
    {"CtrlEnterOlderHost", L"23.0", kCtrlEnter},
};

INSTANTIATE_TEST_SUITE_P(Keys, LineEnteredTest, ::testing::ValuesIn(kLinesEntered),
                         [](const ::testing::TestParamInfo<LineEnteredCase>& info) {
                             return std::string(info.param.name);
                         });

class RowOutsideBufferTest : public ConsoleNavigationTest, public ::testing::WithParamInterface<int> {};

// Wine answers a read outside the buffer with success and no cell: nothing
// may be written anywhere then.
TEST_P(RowOutsideBufferTest, TagsNothing)
{
    Start(L"24.0");
    ASSERT_TRUE(console.Lay(100, 300, 0, 0, 100, kWindowHeight));

    EXPECT_EQ(Press(kEnter, GetParam()).code, kEnter);

    EXPECT_EQ(console.ColumnZero(300), std::vector<WORD>(300, TestConsole::Plain));
}

INSTANTIATE_TEST_SUITE_P(Rows, RowOutsideBufferTest, ::testing::Values(-1, 300, 32767));

struct KeylessCase {
    const char* name;
    const WCHAR* hostVersion;
    bool withContext;
    bool tagsCursorRow;
};

class KeylessEventTest : public ConsoleNavigationTest,
                         public ::testing::WithParamInterface<KeylessCase> {};

// The record's row is not the line's here: the cursor's row is tagged.
TEST_P(KeylessEventTest, TagsTheCursorRowUnlessTheNewerHostGaveAContext)
{
    Start(GetParam().hostVersion);
    ASSERT_TRUE(console.Lay(100, 300, 0, 140, 100, kWindowHeight));
    ASSERT_TRUE(console.SetCursor(3, 150));
    int context = 0;

    KeyEventRecord event = Press(0, 7, GetParam().withContext ? &context : nullptr);

    EXPECT_EQ(event.code, 0);
    WORD expected = GetParam().tagsCursorRow ? TestConsole::Marker | TestConsole::Plain : TestConsole::Plain;
    EXPECT_EQ(console.Attribute(0, 150), expected);
    EXPECT_EQ(console.Attribute(0, 7), TestConsole::Plain);
}

const KeylessCase kKeyless[] = {
    {"OlderHost", L"23.0", false, true},
    {"OlderHostIgnoresContext", L"23.0", true, true},
    {"NewerHostWithoutContext", L"24.0", false, true},
    {"NewerHostWithContext", L"24.0", true, false},
};

INSTANTIATE_TEST_SUITE_P(Hosts, KeylessEventTest, ::testing::ValuesIn(kKeyless),
                         [](const ::testing::TestParamInfo<KeylessCase>& info) {
                             return std::string(info.param.name);
                         });

class HotkeyPressTest : public ConsoleNavigationTest {};

TEST_F(HotkeyPressTest, CtrlUpWithCtrlAndAltHeldScrollsBackAndIsConsumed)
{
    Start(L"24.0");
    LayTaggedBuffer(271);
    HoldCtrlAlt();

    EXPECT_EQ(Press(kCtrlUp).code, 0);
    EXPECT_EQ(console.WindowTop(), 100);
}

TEST_F(HotkeyPressTest, CtrlUpWithOnlyCtrlHeldGoesOnToTheHost)
{
    Start(L"24.0");
    LayTaggedBuffer(271);
    keys.Hold(VK_CONTROL);

    EXPECT_EQ(Press(kCtrlUp).code, kCtrlUp);
    EXPECT_EQ(console.WindowTop(), 271);
}

// The window keeps its size and comes back to column 0.
TEST_F(HotkeyPressTest, WindowScrolledRightComesBackToColumnZero)
{
    Start(L"24.0");
    LayTaggedBuffer(271, 200, 60);
    HoldCtrlAlt();

    Press(kCtrlUp);

    SMALL_RECT window = console.Window();
    EXPECT_EQ(window.Left, 0);
    EXPECT_EQ(window.Right, 99);
    EXPECT_EQ(window.Top, 100);
    EXPECT_EQ(window.Bottom, 100 + kWindowHeight - 1);
}

// Every console handle the plug-in opens is closed again, on the paths
// that tag, move, find nothing and beep alike.
TEST_F(HotkeyPressTest, KeystrokesLeaveNoHandleOpen)
{
    Start(L"24.0");
    Configure(L"/W:N");
    LayTaggedBuffer(271);
    HoldCtrlAlt();
    // Wine sets up objects of its own on first use and keeps them (its
    // first MessageBeep leaves nine handles open), so a move and a beep come
    // before the count; then the beep is left to re-arm.
    Press(kCtrlUp);
    Press(kCtrlUp);
    Press(kCtrlUp);
    Stopwatch clock;
    ASSERT_EQ(PumpMessages(clock, 2000, true).timers, 1) << "the warm-up did not beep";

    long before = OpenHandleCount();
    ASSERT_GT(before, 0) << "cannot count this process's handles";
    HANDLE probe = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(OpenHandleCount(), before + 1) << "the count must see one more handle";
    CloseHandle(probe);

    for (int round = 0; round < 10; ++round) {
        Press(kEnter, 200 + round);
        Press(0);
        Press(kCtrlUp);
        Press(kCtrlUp);
        Press(kCtrlUp); // at the first tag by now: nowhere to go
        Press(kCtrlDown);
        Press(kCtrlDown);
        Press(kCtrlDown);
        Press(kCtrlDown);
    }
    clock.Restart();
    EXPECT_EQ(PumpMessages(clock, 2000, true).timers, 1) << "the batch beeps once";

    long after = OpenHandleCount();
    EXPECT_EQ(after, before);
    printf("[   info   ] open handles around 90 keystrokes: %ld before, %ld after\n", before, after);
}

// Window tops after each press from the start given; the last press of a
// walk without Wrap finds nowhere to go, leaves the window and beeps.
struct WalkCase {
    const char* name;
    bool wrap;
    int startTop;
    bool back;
    std::vector<int> tops;
    bool endsInBeep;
};

class WindowWalkTest : public ConsoleNavigationTest, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(WindowWalkTest, VisitsTheTaggedRowsInOrder)
{
    const WalkCase& c = GetParam();
    Start(L"24.0");
    Configure(c.wrap ? L"/W:Y" : L"/W:N");
    LayTaggedBuffer(c.startTop);
    HoldCtrlAlt();

    Stopwatch clock;
    for (size_t i = 0; i < c.tops.size(); ++i) {
        EXPECT_EQ(Press(c.back ? kCtrlUp : kCtrlDown).code, 0) << "press " << i + 1;
        SMALL_RECT window = console.Window();
        EXPECT_EQ(window.Top, c.tops[i]) << "press " << i + 1;
        EXPECT_EQ(window.Bottom - window.Top + 1, kWindowHeight) << "press " << i + 1;
        clock.Restart();
    }

    // A beep starts the re-arm timer; a move does not.
    PumpResult pump = PumpMessages(clock, c.endsInBeep ? 2000 : 1000, true);
    EXPECT_EQ(pump.timers, c.endsInBeep ? 1 : 0);
}

const WalkCase kWalks[] = {
    {"BackWrapOn", true, 271, true, {100, 10, 271}, false},
    {"BackWrapOff", false, 271, true, {100, 10, 10}, true},
    {"ForwardWrapOn", true, 10, false, {100, 271, 10}, false},
    {"ForwardWrapOff", false, 10, false, {100, 271, 271}, true},
};

INSTANTIATE_TEST_SUITE_P(Walks, WindowWalkTest, ::testing::ValuesIn(kWalks),
                         [](const ::testing::TestParamInfo<WalkCase>& info) {
                             return std::string(info.param.name);
                         });

// No tag anywhere: every press fails. The re-arm timer is the beep's trace:
// each beep starts one, and only a beep does.
class BeepLimiterTest : public ConsoleNavigationTest {
protected:
    void LayUntaggedBuffer()
    {
        ASSERT_TRUE(console.Lay(100, 300, 0, 271, 100, kWindowHeight));
        HoldCtrlAlt();
    }
};

TEST_F(BeepLimiterTest, SecondFailureWithinTheTimersLifeStartsNoTimer)
{
    Start(L"24.0");
    LayUntaggedBuffer();

    Stopwatch clock;
    Press(kCtrlUp);
    Press(kCtrlDown);
    PumpResult first = PumpMessages(clock, 2000, true);
    ASSERT_EQ(first.timers, 1) << "the first failure beeps and starts the re-arm timer";
    printf("[   info   ] beep re-arm timer fired %.0f ms after the failure\n", first.firstTimerAtMs);
    EXPECT_GE(first.firstTimerAtMs, 700.0) << "the beep stays disarmed for 750 ms";

    // Had the second failure started a timer too, or the first one kept
    // running, it would fire within this second.
    PumpResult quiet = PumpMessages(clock, first.firstTimerAtMs + 1000, false);
    EXPECT_EQ(quiet.timers, 0);

    clock.Restart();
    Press(kCtrlUp);
    PumpResult again = PumpMessages(clock, 2000, true);
    EXPECT_EQ(again.timers, 1) << "once the timer has run, a failure beeps again";
}

// The host unloads the plug-in after ShutdownPlugin; a timer left running
// would call into the unloaded module.
TEST_F(BeepLimiterTest, ShutdownKillsAPendingTimer)
{
    Start(L"24.0");
    LayUntaggedBuffer();

    Stopwatch clock;
    Press(kCtrlUp);
    EXPECT_EQ(shutdownPlugin(FALSE), 0);
    EXPECT_EQ(PumpMessages(clock, 1200, false).timers, 0);
}

TEST_F(BeepLimiterTest, ErrorSoundOffStartsNoTimer)
{
    Start(L"24.0");
    Configure(L"/E:N");
    LayUntaggedBuffer();

    Stopwatch clock;
    Press(kCtrlUp);
    Press(kCtrlDown);
    EXPECT_EQ(PumpMessages(clock, 1000, false).timers, 0);
}

// Wall time of one press that scans the whole buffer, for the record; the
// figures go to the results file and are not judged here.
struct TimingCase {
    const char* name;
    int rows;
};

class HotkeyTimingTest : public ConsoleNavigationTest, public ::testing::WithParamInterface<TimingCase> {};

TEST_P(HotkeyTimingTest, OnePressScansTheWholeBuffer)
{
    const int rows = GetParam().rows;
    const int spacing = 1000;
    Start(L"24.0");
    int bottomTop = rows - kWindowHeight;
    ASSERT_TRUE(console.Lay(100, rows, 0, bottomTop, 100, kWindowHeight));
    for (int row = spacing; row < rows; row += spacing)
        console.Tag(row);
    HoldCtrlAlt();

    std::vector<double> times;
    int expectedTop = (bottomTop - 1) / spacing * spacing;
    for (int press = 0; press < 7 && expectedTop > 0; ++press, expectedTop -= spacing) {
        Stopwatch clock;
        KeyEventRecord event = Press(kCtrlUp);
        times.push_back(clock.ElapsedMs());
        ASSERT_EQ(event.code, 0);
        ASSERT_EQ(console.WindowTop(), expectedTop) << "press " << press + 1;
    }
    std::sort(times.begin(), times.end());
    printf("[  timing  ] one hotkey press, %d-row console: median %.2f ms, min %.2f ms, max %.2f ms "
           "(%zu presses)\n",
           rows, times[times.size() / 2], times.front(), times.back(), times.size());
}

const TimingCase kTimings[] = {
    {"Rows9001", 9001},
    {"Rows32766", 32766},
};

INSTANTIATE_TEST_SUITE_P(Sizes, HotkeyTimingTest, ::testing::ValuesIn(kTimings),
                         [](const ::testing::TestParamInfo<TimingCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
