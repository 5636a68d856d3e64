// Cost of the keystroke handler: an ordinary keystroke, a key delivered by
// name, a hotkey press that scans the whole buffer and moves the window, and
// the copy hotkey taking a whole buffer's output to the clipboard.
// Figures only; nothing here asserts a time.
//
// Each benchmark reports per iteration what meters.h counts: console_calls
// and all_calls, allocations and, where countable, instructions. For the
// plug-in's own exact instruction count use callgrind (each command on one
// line):
//
//   valgrind --tool=callgrind --callgrind-out-file=/tmp/key.cg
//       build/native/tests/bench/mirvane_bench
//       --benchmark_filter='BM_KeyOrdinaryKeystroke$' --benchmark_min_time=0.01
//   callgrind_annotate --inclusive=yes --tree=caller --auto=no /tmp/key.cg
//       | grep -B1 -A1 'key_hook.cpp:key\b'
//
// key's line ("*") carries its inclusive Ir and, on the caller line above
// it, its call count "(N x)". GetAsyncKeyState's entry shows what it cost
// when called from key ("< ...key_hook.cpp:key"): that is the stand-in's
// bookkeeping, not the plug-in's. (inclusive Ir of key - that) / N is the
// plug-in's own cost per keystroke. N includes the warm-up calls; both sums
// do too, so the quotient holds.
#include <benchmark/benchmark.h>

#include <string>

#include "host/exports.h"
#include "navigation/navigation.h"
#include "plugin/state.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"
#include "tests/bench/meters.h"
#include "tests/native/fresh_process.h"

namespace {

void Fresh(int extended, int columns = 100, int rows = 300)
{
    FreshProcess(columns, rows);
    Startup.useExtendedKeys = extended;
}

// One flush interval's worth of calls before the loop grows the stand-in's
// call log to the capacity the loop needs (clearing keeps it), so the log's
// growth is not counted as the plug-in's allocation.
void WarmUp(KeyEventRecord* record, KeyCode code)
{
    for (int i = 0; i < LogFlushInterval; ++i) {
        record->code = code;
        key(record);
    }
    standin::ClearCallLog();
}

void BM_KeyOrdinaryKeystroke(benchmark::State& state)
{
    Fresh(0);
    KeyEventRecord record = {};
    WarmUp(&record, 'a');
    CallTally tally;
    int n = 0;
    LoopMeter meter;
    for (auto _ : state) {
        record.code = 'a';
        benchmark::DoNotOptimize(key(&record));
        if (++n % LogFlushInterval == 0)
            tally.Take();
    }
    meter.Report(state);
    tally.Report(state);
}
BENCHMARK(BM_KeyOrdinaryKeystroke);

void BM_KeyByNameNewerHost(benchmark::State& state)
{
    Fresh(1);
    std::u16string name = u"Ctrl-Left";
    KeyEventRecord record = {};
    record.context = &record;
    record.keyName = &name[0];
    WarmUp(&record, 0);
    CallTally tally;
    int n = 0;
    LoopMeter meter;
    for (auto _ : state) {
        record.code = 0;
        benchmark::DoNotOptimize(key(&record));
        if (++n % LogFlushInterval == 0)
            tally.Take();
    }
    meter.Report(state);
    tally.Report(state);
}
BENCHMARK(BM_KeyByNameNewerHost);

// The timed loop of a hotkey: the key pressed again and again, the log
// taken every press, so a single press sizes it.
void PressRepeatedly(benchmark::State& state, KeyEventRecord* record, KeyCode code)
{
    CallTally tally;
    LoopMeter meter;
    for (auto _ : state) {
        record->code = code;
        benchmark::DoNotOptimize(key(record));
        tally.Take();
    }
    meter.Report(state);
    tally.Report(state);
    state.counters["beeps"] = (double)standin::Beeps().size();
}

// Tags at row 10 and mid-buffer; Wrap on, so every back press moves the
// window: to mid-buffer, to 10, then round to mid-buffer again.
void BM_HotkeyPress(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Fresh(0, 100, rows);
    standin::SetAttribute(0, 10, 0x07 | Startup.markerAttribute);
    standin::SetAttribute(0, rows / 2, 0x07 | Startup.markerAttribute);
    standin::SetWindow({0, (SHORT)(rows - 30), 99, (SHORT)(rows - 1)});
    standin::SetKeyHeld(VK_CONTROL, true);
    standin::SetKeyHeld(VK_MENU, true);
    KeyEventRecord record = {};
    record.code = 0x1008D;
    key(&record);
    standin::SetWindow({0, (SHORT)(rows - 30), 99, (SHORT)(rows - 1)});
    standin::ClearCallLog();
    PressRepeatedly(state, &record, 0x1008D);
}
BENCHMARK(BM_HotkeyPress)->Arg(300)->Arg(9001)->Arg(32766);

// The copy hotkey on a buffer of 9001 rows by 120 columns, every row full:
// the output of the command on row 0, up to the prompt on the last row. The
// bytes copied per press and the stand-in's own allocations (its memory
// block and clipboard copy) are reported; the plug-in makes one block.
void BM_CopyWholeBuffer(benchmark::State& state)
{
    const int rows = 9001;
    const int columns = 120;
    Fresh(1, columns, rows);
    for (int row = 1; row < rows - 1; ++row) {
        for (int column = 0; column < columns; ++column)
            standin::SetCharacter(column, row, (char16_t)('!' + (row + column) % 90));
    }
    standin::SetAttribute(0, 0, 0x07 | Startup.markerAttribute);
    standin::SetWindow({0, (SHORT)(rows - 30), 79, (SHORT)(rows - 1)});
    standin::SetCursor({2, (SHORT)(rows - 1)});
    standin::SetKeyHeld(VK_CONTROL, true);
    standin::SetKeyHeld(VK_MENU, true);
    Settings.CopyHotkey = 0x5002E;
    KeyEventRecord record = {};
    record.row = rows - 1;
    PressRepeatedly(state, &record, 0x1002E);
    state.counters["copied_units"] = (double)standin::ClipboardText().value_or(u"").size();
}
BENCHMARK(BM_CopyWholeBuffer)->Unit(benchmark::kMillisecond);

} // namespace
