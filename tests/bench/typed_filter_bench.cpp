// Find by typing on the scene of typed_scene.h, on the stand-in: the back
// hotkey with typed text no command holds (a tag on every command, and on
// ten), with the text of the nearest command, and with no filter; beside
// them the plain reads of typed_scene.h, (a), (b) and (c). After the table
// each press is printed against what it is set against. Figures only.
//
// The stand-in's console costs mostly per cell copied, a real console
// mostly per call (a round trip to the console's process), so the ratios
// here and under Wine (tests/wine/wine_bench.cpp) differ.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <string>

#include "host/exports.h"
#include "plugin/state.h"
#include "standins/windows/standin_control.h"
#include "tests/bench/figures.h"
#include "tests/bench/meters.h"
#include "tests/bench/typed_scene.h"
#include "tests/native/fresh_process.h"

using namespace typed_scene;

namespace {

// With Ctrl+Alt held, the back hotkey.
constexpr KeyCode UpKey = 0x1008D;

const SMALL_RECT BottomWindow = {0, WindowTop, Columns - 1, Rows - 1};

void WriteText(int column, int row, const SceneText& text)
{
    for (int i = 0; i < text.length; ++i)
        standin::SetCharacter(column + i, row, text.text[i]);
}

// A fresh process on the scene, the prompt alone on the typing row and the
// cursor after it.
void LayScene(Tagging tagging)
{
    FreshProcess(Columns, Rows);
    for (int command = 1; command <= Commands; ++command) {
        WriteText(0, CommandRow(command), CommandLine(command));
        if (IsTagged(tagging, command))
            standin::SetAttribute(0, CommandRow(command), 0x07 | Startup.markerAttribute);
    }
    standin::SetWindow(BottomWindow);
    WriteText(0, TypingRow, Prompt());
    standin::SetCursor({(SHORT)Prompt().length, TypingRow});
}

int TaggedCommands(Tagging tagging)
{
    int tagged = 0;
    for (int command = 1; command <= Commands; ++command)
        tagged += IsTagged(tagging, command) ? 1 : 0;
    return tagged;
}

// ---- the plain reads -----------------------------------------------------------

enum class Read { Column, EachTaggedRow, EveryRow };

int ReadScene(HANDLE console, Read read)
{
    WORD marker = Startup.markerAttribute;
    switch (read) {
    case Read::Column:
        return BareColumnScan(console, Rows, marker);
    case Read::EachTaggedRow:
        return ScanAndReadEachTaggedRow(console, Rows, Columns, marker);
    case Read::EveryRow:
        return ScanAndReadEveryRow(console, Rows, Columns, marker);
    }
    return -1;
}

void BM_TypedBaseline(benchmark::State& state, Tagging tagging, Read read)
{
    LayScene(tagging);
    HANDLE console = CreateFileW(TEXT("CONOUT$"), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    // Once before the loop, so that the stand-in's call log has grown to
    // what the loop needs.
    int tagged = ReadScene(console, read);
    standin::ClearCallLog();
    CallTally tally;
    LoopMeter meter;
    for (auto _ : state) {
        tagged = ReadScene(console, read);
        tally.Take();
    }
    meter.Report(state);
    tally.Report(state);
    CloseHandle(console);
    if (tagged != TaggedCommands(tagging))
        state.SkipWithError("the reads saw another number of tagged rows");
}
BENCHMARK_CAPTURE(BM_TypedBaseline, a_column, Tagging::EveryCommand, Read::Column)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedBaseline, b_each_tagged_row, Tagging::EveryCommand, Read::EachTaggedRow)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedBaseline, c_every_row, Tagging::EveryCommand, Read::EveryRow)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedBaseline, b_each_tagged_row_ten_tags, Tagging::Sparse, Read::EachTaggedRow)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedBaseline, c_every_row_ten_tags, Tagging::Sparse, Read::EveryRow)
    ->Unit(benchmark::kMicrosecond);

// ---- the presses ---------------------------------------------------------------

enum class Typed { Nothing, NoMatch, NearestCommand };

SceneText TypedText(Typed typed)
{
    if (typed == Typed::NearestCommand)
        return TypedCommand(NearestCommand);
    SceneText text = {{0}, 0};
    if (typed == Typed::NoMatch)
        Append(&text, TEXT("zz"));
    return text;
}

// Through the command, as a user turns it on; false in a build without it.
bool TurnFilterOn()
{
    std::u16string line = u"/T:Y";
    line.resize(256, 0); // the host's buffer, which the command may change
    return mirvane(&line[0]) == 0;
}

// As the session types: the line's first keystroke with the cursor after
// the prompt, where the plug-in learns the input start; then the text
// echoed and the cursor after it.
void Type(const SceneText& typed)
{
    int start = Prompt().length;
    standin::SetCursor({(SHORT)start, TypingRow});
    KeyEventRecord first = {};
    first.code = typed.text[0];
    first.row = TypingRow;
    key(&first);
    WriteText(start, TypingRow, typed);
    standin::SetCursor({(SHORT)(start + typed.length), TypingRow});
}

// Where the first press must leave things: a failed press beeps and leaves
// the window; the others go to the nearest command.
bool PressWentRight(Typed typed)
{
    if (typed == Typed::NoMatch)
        return standin::Window().Top == WindowTop && standin::Beeps().size() == 1;
    return standin::Window().Top == CommandRow(NearestCommand);
}

// The back hotkey again and again from the bottom of the buffer, the window
// put back after each press (a store in the stand-in, no call), so that
// every press is the first from there. One press before the loop learns
// what a first press learns and is checked; a failed one beeps, and the
// beep's limiter keeps the presses after it quiet, as in a quick series.
void BM_TypedPress(benchmark::State& state, Tagging tagging, bool filter, Typed typed)
{
    LayScene(tagging);
    if (filter && !TurnFilterOn()) {
        state.SkipWithError("no typed filter in this build");
        return;
    }
    if (typed != Typed::Nothing)
        Type(TypedText(typed));
    standin::SetKeyHeld(VK_CONTROL, true);
    standin::SetKeyHeld(VK_MENU, true);
    KeyEventRecord record = {};
    record.row = TypingRow;
    record.code = UpKey;
    key(&record);
    if (!PressWentRight(typed)) {
        state.SkipWithError("the first press did not go where the scene says");
        return;
    }
    standin::SetWindow(BottomWindow);
    standin::ClearCallLog();
    CallTally tally;
    LoopMeter meter;
    for (auto _ : state) {
        record.code = UpKey;
        benchmark::DoNotOptimize(key(&record));
        standin::SetWindow(BottomWindow);
        tally.Take();
    }
    meter.Report(state);
    tally.Report(state);
}
BENCHMARK_CAPTURE(BM_TypedPress, zz_every_command, Tagging::EveryCommand, true, Typed::NoMatch)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedPress, zz_ten_tags, Tagging::Sparse, true, Typed::NoMatch)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedPress, nearest_match, Tagging::EveryCommand, true, Typed::NearestCommand)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedPress, unfiltered, Tagging::EveryCommand, false, Typed::Nothing)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypedPress, unfiltered_filter_on, Tagging::EveryCommand, true, Typed::Nothing)
    ->Unit(benchmark::kMicrosecond);

// ---- the ratios ----------------------------------------------------------------

struct NamedFigure {
    const char* label;
    const char* benchmark;
};

const NamedFigure SceneFigures[] = {
    {"(a) column 0, in blocks", "BM_TypedBaseline/a_column"},
    {"(b) (a) + each tagged row", "BM_TypedBaseline/b_each_tagged_row"},
    {"(c) (a) + every row, in blocks", "BM_TypedBaseline/c_every_row"},
    {"(b) with ten tags", "BM_TypedBaseline/b_each_tagged_row_ten_tags"},
    {"(c) with ten tags", "BM_TypedBaseline/c_every_row_ten_tags"},
    {"press, T = zz, every command tagged", "BM_TypedPress/zz_every_command"},
    {"press, T = zz, ten tags", "BM_TypedPress/zz_ten_tags"},
    {"press, T = the nearest command", "BM_TypedPress/nearest_match"},
    {"press, unfiltered (/T:N)", "BM_TypedPress/unfiltered"},
    {"press, /T:Y with nothing typed", "BM_TypedPress/unfiltered_filter_on"},
};

struct Ratio {
    const char* label;
    const char* press;
    const char* against[2]; // the smaller of the two; the second may be null
    const char* againstLabel;
    double goal; // 0: none, the figure is for the record
};

const Ratio SceneRatios[] = {
    {"T = zz, every command tagged", "BM_TypedPress/zz_every_command",
     {"BM_TypedBaseline/b_each_tagged_row", "BM_TypedBaseline/c_every_row"}, "the smaller of (b) and (c)", 1.2},
    {"T = zz, ten tags", "BM_TypedPress/zz_ten_tags",
     {"BM_TypedBaseline/b_each_tagged_row_ten_tags", "BM_TypedBaseline/c_every_row_ten_tags"},
     "the smaller of (b) and (c)", 1.2},
    {"T = the nearest command", "BM_TypedPress/nearest_match", {"BM_TypedPress/unfiltered", nullptr},
     "the unfiltered press", 1.5},
    {"unfiltered (/T:N)", "BM_TypedPress/unfiltered", {"BM_TypedBaseline/a_column", nullptr}, "(a)", 0},
    {"/T:Y with nothing typed", "BM_TypedPress/unfiltered_filter_on", {"BM_TypedBaseline/a_column", nullptr},
     "(a)", 0},
};

std::string Duration(double nanoseconds)
{
    char text[32];
    if (nanoseconds >= 1e6)
        snprintf(text, sizeof text, "%.2f ms", nanoseconds / 1e6);
    else if (nanoseconds >= 1e3)
        snprintf(text, sizeof text, "%.1f us", nanoseconds / 1e3);
    else
        snprintf(text, sizeof text, "%.0f ns", nanoseconds);
    return text;
}

// The smaller of the figures named that ran; false when none did.
bool Smallest(const Figures& figures, const char* const (&names)[2], Figure* smallest)
{
    bool found = false;
    for (const char* name : names) {
        Figure figure;
        if (name == nullptr || !figures.Find(name, &figure))
            continue;
        if (!found || figure.cpuNanoseconds < smallest->cpuNanoseconds)
            *smallest = figure;
        found = true;
    }
    return found;
}

} // namespace

void PrintTypedFilterRatios(const Figures& figures)
{
    bool any = false;
    for (const NamedFigure& named : SceneFigures) {
        Figure figure;
        if (!figures.Find(named.benchmark, &figure))
            continue;
        if (!any)
            printf("\nFind by typing, %d rows x %d columns, the window at the bottom, T = \"cmd %04d\" the "
                   "nearest command; CPU time per iteration:\n",
                   Rows, Columns, NearestCommand);
        any = true;
        printf("  %-38s %10s %7.0f console calls\n", named.label, Duration(figure.cpuNanoseconds).c_str(),
               figure.consoleCalls);
    }
    for (const Ratio& ratio : SceneRatios) {
        Figure press, against;
        if (!figures.Find(ratio.press, &press) || !Smallest(figures, ratio.against, &against))
            continue;
        printf("  %-30s %6.2f x %s", ratio.label, press.cpuNanoseconds / against.cpuNanoseconds,
               ratio.againstLabel);
        if (ratio.goal > 0)
            printf(" (goal: at most %.1f)", ratio.goal);
        printf("\n");
    }
}
