// Google Benchmark's main, with the display reporter (the one
// --benchmark_format chooses) wrapped so that every run's figures are kept
// for the ratios printed after the table.
#include <benchmark/benchmark.h>

#include <memory>

#include "tests/bench/figures.h"

namespace {

class KeepingReporter : public benchmark::BenchmarkReporter {
public:
    KeepingReporter(benchmark::BenchmarkReporter* display, Figures* figures)
        : display_(display), figures_(figures)
    {
    }

    bool ReportContext(const Context& context) override { return display_->ReportContext(context); }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        display_->ReportRuns(runs);
        for (const Run& run : runs)
            figures_->Keep(run);
    }

    void Finalize() override { display_->Finalize(); }

private:
    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    Figures* figures_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Figures figures;
    KeepingReporter reporter(benchmark::CreateDefaultDisplayReporter(), &figures);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTypedFilterRatios(figures);
    benchmark::Shutdown();
    return 0;
}
