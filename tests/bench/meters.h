// What the native benchmarks count beside time, per iteration of a timed
// loop: allocations (global operator new/new[], but not the stand-in's
// record of each console handle opened) and, where the kernel lets a
// process count its own user-space instructions, instructions; and the
// calls the stand-in logged. The instruction figure covers the whole
// iteration, stand-in and loop included; VMs and containers often have no
// counter to give (see callgrind at the top of navigation_bench.cpp).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

// Brackets one timed loop: allocations and, when countable, instructions.
class LoopMeter {
public:
    LoopMeter();
    // First thing after the loop: adding a counter allocates a map node.
    void Report(benchmark::State& state);

private:
    uint64_t allocations_;
};

constexpr int LogFlushInterval = 1024; // keeps the stand-in's call log small

// The stand-in's call log, taken every so often and cleared.
struct CallTally {
    double all = 0;
    double console = 0;

    void Take();
    void Report(benchmark::State& state);
};
