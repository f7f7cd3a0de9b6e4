// The work of one display refresh without the window: a counter reading, the
// elapsed-time arithmetic and the "####0.000" formatting. It runs 40 times a second.
#include "platform/SystemCounter.h"
#include "timing/DisplayFormat.h"
#include "timing/clsElapsedTimer.h"

#include <benchmark/benchmark.h>

using namespace tallyclock;

static void BM_ElapsedWhileRunning(benchmark::State &state)
{
    SystemCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    for (auto _ : state)
        benchmark::DoNotOptimize(timer.Elapsed());
}
BENCHMARK(BM_ElapsedWhileRunning);

static void BM_FormatDisplay(benchmark::State &state)
{
    double seconds = 12.345678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatDisplay(seconds));
        seconds += 0.025;
    }
}
BENCHMARK(BM_FormatDisplay);

BENCHMARK_MAIN();
