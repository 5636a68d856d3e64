// Cost of the keystroke handler: an ordinary keystroke, a key delivered by
// name, and a hotkey press that scans the whole buffer and moves the window.
// Figures only; nothing here asserts a time.
#include <benchmark/benchmark.h>

#include <string>

#include "host/exports.h"
#include "navigation/navigation.h"
#include "plugin/state.h"
#include "standins/host/host_standin.h"
#include "standins/windows/standin_control.h"

namespace {

constexpr int LogFlushInterval = 1024; // keeps the stand-in's call log small

struct CallTally {
    double all = 0;
    double console = 0;

    void Take()
    {
        for (standin::Api api : standin::CallLog()) {
            all += 1;
            if (api != standin::Api::GetAsyncKeyState)
                console += 1;
        }
        standin::ClearCallLog();
    }
    void Report(benchmark::State& state)
    {
        Take();
        double n = (double)state.iterations();
        state.counters["console_calls"] = benchmark::Counter(console / n);
        state.counters["all_calls"] = benchmark::Counter(all / n);
    }
};

void Fresh(int extended)
{
    CancelBeepTimer();
    standin::Reset();
    HostReset();
    Settings = LoadTimeSettings;
    Settings.useExtendedKeys = extended;
}

void BM_KeyOrdinaryKeystroke(benchmark::State& state)
{
    Fresh(0);
    KeyEventRecord record = {};
    CallTally tally;
    int n = 0;
    for (auto _ : state) {
        record.code = 'a';
        benchmark::DoNotOptimize(key(&record));
        if (++n % LogFlushInterval == 0)
            tally.Take();
    }
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
    CallTally tally;
    int n = 0;
    for (auto _ : state) {
        record.code = 0;
        benchmark::DoNotOptimize(key(&record));
        if (++n % LogFlushInterval == 0)
            tally.Take();
    }
    tally.Report(state);
}
BENCHMARK(BM_KeyByNameNewerHost);

// Tags at row 10 and mid-buffer; Wrap on, so every back press moves the
// window: to mid-buffer, to 10, then round to mid-buffer again.
void BM_HotkeyPress(benchmark::State& state)
{
    Fresh(0);
    int rows = (int)state.range(0);
    standin::SetConsole(100, rows);
    standin::SetAttribute(0, 10, 0x07 | Settings.markerAttribute);
    standin::SetAttribute(0, rows / 2, 0x07 | Settings.markerAttribute);
    standin::SetWindow({0, (SHORT)(rows - 30), 99, (SHORT)(rows - 1)});
    standin::SetKeyHeld(VK_CONTROL, true);
    standin::SetKeyHeld(VK_MENU, true);
    KeyEventRecord record = {};
    CallTally tally;
    standin::ClearCallLog();
    for (auto _ : state) {
        record.code = 0x1008D;
        benchmark::DoNotOptimize(key(&record));
        tally.Take();
    }
    tally.Report(state);
    state.counters["beeps"] = (double)standin::Beeps().size();
}
BENCHMARK(BM_HotkeyPress)->Arg(300)->Arg(9001)->Arg(32766);

} // namespace

BENCHMARK_MAIN();
