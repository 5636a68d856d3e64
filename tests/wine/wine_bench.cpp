// Wall times on the real DLL under Wine, for the record: one hotkey press
// that scans the whole buffer, the copy hotkey taking a whole buffer's
// output, and find by typing on the scene of tests/bench/typed_scene.h
// beside the plain reads it is set against. Figures only, printed; nothing
// is judged. scripts/bench runs it.
#include <stdio.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "tests/bench/typed_scene.h"
#include "tests/wine/wine_harness.h"

namespace {

void PrintFigures(const char* what, std::vector<double> times, const char* runs = "presses")
{
    std::sort(times.begin(), times.end());
    printf("[  timing  ] %s: median %.2f ms, min %.2f ms, max %.2f ms (%zu %s)\n", what,
           times[times.size() / 2], times.front(), times.back(), times.size(), runs);
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

class WineBench : public CaseTest {};

TEST_F(WineBench, HotkeyPressScansTheWholeBuffer)
{
    StartPlugin(TEXT("24.0"));
    for (int rows : {9001, 32766}) {
        const int spacing = 1000;
        int bottomTop = rows - 29;
        harness::LayConsole(100, rows, 0, bottomTop, 100, 29);
        for (int row = spacing; row < rows; row += spacing)
            EnterLine(row);
        harness::HoldModifiers(Ctrl | Alt);
        std::vector<double> times;
        int expectedTop = (bottomTop - 1) / spacing * spacing;
        for (int press = 0; press < 7 && expectedTop > 0; ++press, expectedTop -= spacing) {
            Stopwatch clock;
            EXPECT_EQ(PressKey(0x1008D).code, 0);
            times.push_back(clock.ElapsedMs());
            ASSERT_EQ(harness::Window().Top, expectedTop) << "press " << press + 1;
        }
        harness::HoldModifiers(NoModifier);
        char what[64];
        snprintf(what, sizeof what, "one hotkey press, %d-row console", rows);
        PrintFigures(what, times);
    }
}

TEST_F(WineBench, CopyHotkeyTakesAWholeBuffer)
{
    const int rows = 9001;
    const int columns = 120;
    StartPlugin(TEXT("24.0"));
    ASSERT_EQ(RunCommand(TEXT("/C:Ctrl-Alt-C")), 0);
    harness::LayConsole(columns, rows, 0, rows - 30, 80, 30);
    Text line(columns, 'x');
    for (int row = 1; row < rows - 1; ++row)
        harness::WriteCharacters(0, row, line);
    EnterLine(0);
    harness::SetCursor(0, rows - 1);
    harness::HoldModifiers(Ctrl | Alt);
    std::vector<double> times;
    for (int press = 0; press < 7; ++press) {
        Stopwatch clock;
        EXPECT_EQ(PressKey(0x1002E, rows - 1).code, 0);
        times.push_back(clock.ElapsedMs());
    }
    harness::HoldModifiers(NoModifier);
    EXPECT_EQ(harness::BeepsSinceAsked(), 0);
    EXPECT_EQ(harness::ClipboardText().value_or(Text()).size(), (size_t)(rows - 2) * (columns + 2) - 2);
    PrintFigures("copy hotkey, 9001 rows of 120 columns", times);
}

// ---- find by typing ---------------------------------------------------------------

using namespace typed_scene;

// Wine reports Windows 6.1, where the plug-in tags with the classic bit.
constexpr WORD WineMarker = 0x2000;
constexpr int WindowColumns = 80;
const SMALL_RECT BottomWindow = {0, WindowTop, WindowColumns - 1, Rows - 1};
// With Ctrl+Alt held, the back hotkey.
constexpr int32_t UpKey = 0x1008D;
constexpr int Rounds = 15;

Text AsText(const SceneText& text)
{
    return Text(text.text, text.length);
}

// The commands written and tagged as the host's Enter tags them; the prompt
// alone on the typing row, the cursor after it.
void LayScene(Tagging tagging)
{
    harness::LayConsole(Columns, Rows, 0, WindowTop, WindowColumns, WindowRows);
    for (int command = 1; command <= Commands; ++command) {
        harness::WriteCharacters(0, CommandRow(command), AsText(CommandLine(command)));
        if (IsTagged(tagging, command))
            EnterLine(CommandRow(command));
    }
    harness::WriteCharacters(0, TypingRow, AsText(Prompt()));
    harness::SetCursor(Prompt().length, TypingRow);
}

int TaggedCommands(Tagging tagging)
{
    int tagged = 0;
    for (int command = 1; command <= Commands; ++command)
        tagged += IsTagged(tagging, command) ? 1 : 0;
    return tagged;
}

// The line's first keystroke with the cursor after the prompt, as the
// session types it: the plug-in learns the input start there.
void StartTyping(WCHAR first)
{
    harness::SetCursor(Prompt().length, TypingRow);
    PressKey(first, TypingRow);
}

// What stands typed on the line, edited in place: earlier text cleared and
// the cursor after the new.
void ShowTyped(const SceneText& typed)
{
    Text line = AsText(typed);
    line.resize(16, ' ');
    harness::WriteCharacters(Prompt().length, TypingRow, line);
    harness::SetCursor(Prompt().length + typed.length, TypingRow);
}

SceneText NoMatch()
{
    SceneText text = {{0}, 0};
    Append(&text, L"zz");
    return text;
}

// The bench's own handle on the console, for the plain reads and for
// putting the window back after a press moved it.
class SceneConsole {
public:
    SceneConsole()
        : handle(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~SceneConsole() { CloseHandle(handle); }
    SceneConsole(const SceneConsole&) = delete;
    SceneConsole& operator=(const SceneConsole&) = delete;

    HANDLE handle;
};

// One thing timed once a round. The rounds take turns over all of them, so
// that the machine's busy and quiet spells fall on all alike; each is run
// once before the rounds, untimed, so that no first run's costs (a beep,
// pages of code) count.
struct Timed {
    const char* label;
    std::function<double()> run; // milliseconds, what it checks outside the clock
    std::vector<double> times;
};

void RunRounds(std::vector<Timed>& timed)
{
    for (Timed& t : timed)
        t.run();
    for (int round = 0; round < Rounds; ++round) {
        for (Timed& t : timed)
            t.times.push_back(t.run());
    }
    for (const Timed& t : timed)
        PrintFigures(t.label, t.times, "rounds");
}

void PrintRatio(const char* what, double press, const char* against, double reference, double goal)
{
    printf("[  timing  ] %s: %.2f x %s, medians", what, press / reference, against);
    if (goal > 0)
        printf(" (goal: at most %.1f)", goal);
    printf("\n");
}

Timed Reading(const char* label, HANDLE console, int expectedTags,
              std::function<int(HANDLE)> read)
{
    return {label, [=] {
                Stopwatch clock;
                int tagged = read(console);
                double ms = clock.ElapsedMs();
                EXPECT_EQ(tagged, expectedTags) << label;
                return ms;
            }};
}

// The back hotkey from the bottom of the buffer; the window is put back
// after the clock stops.
Timed Pressing(const char* label, HANDLE console, int expectedTop, std::function<void()> before = nullptr)
{
    return {label, [=] {
                if (before)
                    before();
                Stopwatch clock;
                EXPECT_EQ(PressKey(UpKey, TypingRow).code, 0) << label;
                double ms = clock.ElapsedMs();
                EXPECT_EQ(harness::Window().Top, expectedTop) << label;
                SetConsoleWindowInfo(console, TRUE, &BottomWindow);
                return ms;
            }};
}

int ColumnScan(HANDLE console)
{
    return BareColumnScan(console, Rows, WineMarker);
}

int EachTaggedRow(HANDLE console)
{
    return ScanAndReadEachTaggedRow(console, Rows, Columns, WineMarker);
}

int EveryRow(HANDLE console)
{
    return ScanAndReadEveryRow(console, Rows, Columns, WineMarker);
}

// The unfiltered press with the filter never touched: this uses nothing
// find by typing added, so it runs on a checkout from before it as well,
// and the two can be set side by side.
TEST_F(WineBench, UnfilteredPressOnTheTypedScene)
{
    StartPlugin(TEXT("24.0"));
    LayScene(Tagging::EveryCommand);
    SceneConsole console;
    harness::HoldModifiers(Ctrl | Alt);
    std::vector<Timed> timed = {
        Reading("typed scene, filter untouched: (a) column 0 in blocks", console.handle, Commands, ColumnScan),
        Pressing("typed scene, filter untouched: press", console.handle, CommandRow(NearestCommand)),
    };
    RunRounds(timed);
    harness::HoldModifiers(NoModifier);
    PrintRatio("typed scene, filter untouched: press", Median(timed[1].times), "(a)", Median(timed[0].times), 0);
}

TEST_F(WineBench, TypedPressesWithEveryCommandTagged)
{
    StartPlugin(TEXT("24.0"));
    LayScene(Tagging::EveryCommand);
    ASSERT_EQ(RunCommand(TEXT("/T:Y")), 0);
    StartTyping(L'z');
    SceneConsole console;
    harness::HoldModifiers(Ctrl | Alt);
    int nearest = CommandRow(NearestCommand);
    std::vector<Timed> timed = {
        Reading("typed scene: (a) column 0 in blocks", console.handle, Commands, ColumnScan),
        Reading("typed scene: (b) (a) + each tagged row", console.handle, Commands, EachTaggedRow),
        Reading("typed scene: (c) (a) + every row in blocks", console.handle, Commands, EveryRow),
        Pressing("typed scene: press, T = zz", console.handle, WindowTop, [] { ShowTyped(NoMatch()); }),
        Pressing("typed scene: press, T = the nearest command", console.handle, nearest,
                 [] { ShowTyped(TypedCommand(NearestCommand)); }),
        Pressing("typed scene: press, unfiltered (/T:N)", console.handle, nearest,
                 [] { ASSERT_EQ(RunCommand(TEXT("/T:N")), 0); }),
        Pressing("typed scene: press, /T:Y with nothing typed", console.handle, nearest, [] {
            ASSERT_EQ(RunCommand(TEXT("/T:Y")), 0);
            ShowTyped(SceneText{{0}, 0});
        }),
    };
    RunRounds(timed);
    harness::HoldModifiers(NoModifier);
    EXPECT_EQ(harness::BeepsSinceAsked(), 1) << "the beep's limiter keeps all but the first failed press quiet";
    double a = Median(timed[0].times);
    double smaller = std::min(Median(timed[1].times), Median(timed[2].times));
    double unfiltered = Median(timed[5].times);
    PrintRatio("typed scene: T = zz, every command tagged", Median(timed[3].times), "the smaller of (b) and (c)",
               smaller, 1.2);
    PrintRatio("typed scene: T = the nearest command", Median(timed[4].times), "the unfiltered press", unfiltered,
               1.5);
    PrintRatio("typed scene: unfiltered (/T:N)", unfiltered, "(a)", a, 0);
    PrintRatio("typed scene: /T:Y with nothing typed", Median(timed[6].times), "(a)", a, 0);
}

TEST_F(WineBench, TypedPressWithTenTags)
{
    StartPlugin(TEXT("24.0"));
    LayScene(Tagging::Sparse);
    ASSERT_EQ(RunCommand(TEXT("/T:Y")), 0);
    StartTyping(L'z');
    ShowTyped(NoMatch());
    SceneConsole console;
    harness::HoldModifiers(Ctrl | Alt);
    int tags = TaggedCommands(Tagging::Sparse);
    std::vector<Timed> timed = {
        Reading("typed scene, ten tags: (b) (a) + each tagged row", console.handle, tags, EachTaggedRow),
        Reading("typed scene, ten tags: (c) (a) + every row in blocks", console.handle, tags, EveryRow),
        Pressing("typed scene, ten tags: press, T = zz", console.handle, WindowTop),
    };
    RunRounds(timed);
    harness::HoldModifiers(NoModifier);
    EXPECT_EQ(harness::BeepsSinceAsked(), 1) << "the beep's limiter keeps all but the first failed press quiet";
    double smaller = std::min(Median(timed[0].times), Median(timed[1].times));
    PrintRatio("typed scene: T = zz, ten tags", Median(timed[2].times), "the smaller of (b) and (c)", smaller, 1.2);
}

} // namespace
