#include "tests/bench/figures.h"

#include <algorithm>

// Repetitions (--benchmark_repetitions) are reported one by one unless only
// aggregates are asked for; either way the median is what is kept.
void Figures::Keep(const benchmark::BenchmarkReporter::Run& run)
{
    if (run.error_occurred)
        return;
    bool median = run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate &&
                  run.aggregate_name == "median";
    if (run.run_type != benchmark::BenchmarkReporter::Run::RT_Iteration && !median)
        return;
    double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    auto calls = run.counters.find("console_calls");
    Figure figure = {seconds * 1e9, calls == run.counters.end() ? -1 : calls->second.value};
    std::string name = run.run_name.str();
    if (median) {
        medians_[name] = figure;
        return;
    }
    repetitions_[name].push_back(figure);
}

bool Figures::Find(const std::string& name, Figure* figure) const
{
    auto median = medians_.find(name);
    if (median != medians_.end()) {
        *figure = median->second;
        return true;
    }
    auto found = repetitions_.find(name);
    if (found == repetitions_.end())
        return false;
    std::vector<Figure> runs = found->second;
    std::sort(runs.begin(), runs.end(),
              [](const Figure& a, const Figure& b) { return a.cpuNanoseconds < b.cpuNanoseconds; });
    *figure = runs[runs.size() / 2];
    return true;
}
