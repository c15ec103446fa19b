// Wall-clock time of each operation, repeated on one running state as a
// session repeats it (the generator and the statistics move on between
// iterations, so repeated rolls see different dice).
#include <benchmark/benchmark.h>

#include "bench_setup.h"

int main(int argc, char **argv) {
    using namespace treva::bench;
    static const auto ops = operations();
    for (const auto &[name, op] : ops) {
        if (name == "none") continue;
        benchmark::RegisterBenchmark(name.c_str(), [&op = op](benchmark::State &state) {
            Fixture fixture = op.setUp();
            for (auto _ : state) {
                op.run(fixture);
                benchmark::DoNotOptimize(fixture);
                benchmark::ClobberMemory();
            }
        });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
