// The running watch: Elapsed beside a bare read of the same clock, and one display
// refresh as Timer1 makes it (reading, formatting, the label's text and its paint).
#include "qtdesktop/QtDesktop.h"
#include "results/ResultsList.h"
#include "results/ResultsView.h"
#include "stopwatch/StopwatchController.h"
#include "stopwatch/TimeDisplay.h"
#include "system/SystemCounter.h"
#include "timing/DisplayFormat.h"
#include "timing/clsElapsedTimer.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <time.h>

using namespace tallyclock;

// The clock the system counter reads, read directly.
static void BM_BareClockRead(benchmark::State &state)
{
    timespec now{};
    for (auto _ : state) {
        clock_gettime(CLOCK_BOOTTIME, &now);
        benchmark::DoNotOptimize(now);
    }
}
BENCHMARK(BM_BareClockRead);

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

// A counter that moves on by one refresh interval at every reading, so that every
// tick shows a new time.
class SteppingCounter final : public PerformanceCounter
{
public:
    bool queryCounter(std::int64_t &count) override
    {
        count = m_count += 25'000'000;
        return true;
    }
    bool queryFrequency(std::int64_t &frequency) override
    {
        frequency = 1'000'000'000;
        return true;
    }

private:
    std::int64_t m_count = 0;
};

// One Timer1 tick on a shown display of the window's size, painted.
static void BM_DisplayRefresh(benchmark::State &state)
{
    QWidget window;
    window.resize(536, 426);
    auto *start = new QPushButton(QStringLiteral("Start (or press spacebar)"), &window);
    auto *lap = new QPushButton(QStringLiteral("Lap (or press L)"), &window);
    auto *display = new TimeDisplay(&window);
    display->setGeometry(8, 14, 504, 59);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(36);
    font.setBold(true);
    display->setFont(font);
    display->setAlignment(Qt::AlignCenter);
    auto *timer = new QTimer(&window);
    auto *view = new ResultsView(&window);
    view->hide();
    ResultsList results(*view);
    results.addColumnHeader(QStringLiteral("Result(s)"));
    results.addColumnHeader(QStringLiteral("Result(s)"));
    QtDesktop desktop;
    SteppingCounter counter;
    StopwatchController controller(
        desktop, counter, results, StopwatchControls{start, lap, display, timer});
    controller.createElapsedTimer();
    window.show();
    controller.PushButton2_Click(); // running
    timer->stop(); // the benchmark ticks instead
    QApplication::processEvents();
    for (auto _ : state) {
        controller.Timer1_Timer();
        display->repaint(); // as the event loop paints it after the tick
    }
}
BENCHMARK(BM_DisplayRefresh)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return qtBenchmarkMain(argc, argv);
}
