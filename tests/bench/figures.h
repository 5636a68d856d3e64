// What each benchmark measured, kept as its runs are reported, so that
// ratios between benchmarks can be printed after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

struct Figure {
    double cpuNanoseconds; // per iteration, the median over repetitions
    double consoleCalls;   // per iteration; -1 when not counted
};

class Figures {
public:
    void Keep(const benchmark::BenchmarkReporter::Run& run);
    // By the benchmark's name as the table shows it; false when it did not
    // run or failed.
    bool Find(const std::string& name, Figure* figure) const;

private:
    std::map<std::string, std::vector<Figure>> repetitions_;
    std::map<std::string, Figure> medians_;
};

// After the table: the find-by-typing presses against what each is set
// against (typed_filter_bench.cpp).
void PrintTypedFilterRatios(const Figures& figures);
