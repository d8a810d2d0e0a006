// Times ComputeIncrementSignal against the obvious way to write it (std::stod and an
// ostringstream), on the same texts, and prints how long ours takes relative to that.

#include "calc/increment_signal.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

namespace {

using Texts = std::array<const char*, 5>;
constexpr std::array<Texts, 4> kInputs{{
    {"5", "4", "1", "2500", "2"},
    {"12.5", "8", "0.5", "25000", "3"},
    {"1.6", "24", "0.01", "50000 lb", "2"},
    {"15", "1", "1", "1", "3"},
}};

std::string NaiveIncrementSignal(const Texts& t) {
    const double numerator = std::stod(t[0]) * std::stod(t[2]) * std::stod(t[4]) * 1000;
    const double quotient = numerator / (std::stod(t[3]) * std::stod(t[1]));
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << quotient;
    return out.str();
}

void Ours(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const Texts& t = kInputs[i++ % kInputs.size()];
        auto r = calc::ComputeIncrementSignal(t[0], t[1], t[2], t[3], t[4]);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(Ours);

void NaiveBaseline(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        auto text = NaiveIncrementSignal(kInputs[i++ % kInputs.size()]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(NaiveBaseline);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ours = reporter.nanoseconds.find("Ours");
    const auto naive = reporter.nanoseconds.find("NaiveBaseline");
    if (ours != reporter.nanoseconds.end() && naive != reporter.nanoseconds.end())
        std::printf("| calculation, one call | %.1f ns | %.1f ns (stod, ostringstream) | %.2f | "
                    "at most 0.25 |\n",
                    ours->second, naive->second, ours->second / naive->second);
    benchmark::Shutdown();
}
