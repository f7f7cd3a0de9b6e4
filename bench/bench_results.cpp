// The results list on screen: one entry added as the stopwatch adds it (text, time,
// tick, scrolled into view) and painted, at lengths from 10 to 1,000,000 entries;
// and clearing a long list.
#include "results/ResultsList.h"
#include "results/ResultsView.h"

#include <QApplication>

#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

using namespace tallyclock;

namespace {

void addEntry(ResultsList &list, int n)
{
    const QString time = QString::number(n * 0.033, 'f', 3);
    ResultEntry entry = list.addItem(QStringLiteral("Timer started at ") + time);
    entry.setSubItems(1, time);
    entry.setChecked(true);
    entry.EnsureVisible();
}

// A shown list of the window's size with its two columns, filled with `entries`.
struct ShownList
{
    ResultsView view;
    ResultsList list{view};

    explicit ShownList(int entries)
    {
        list.addColumnHeader(QStringLiteral("Result(s)"));
        list.addColumnHeader(QStringLiteral("Result(s)"));
        list.setColumnHeaderWidth(1, 4000);
        list.setColumnHeaderWidth(2, 1);
        view.resize(520, 151);
        for (int n = 0; n < entries; ++n)
            addEntry(list, n);
        view.show();
        QApplication::processEvents();
    }
};

} // namespace

static void BM_Append(benchmark::State &state)
{
    ShownList shown(static_cast<int>(state.range(0)));
    int n = shown.list.itemCount();
    for (auto _ : state) {
        addEntry(shown.list, n++);
        // The paint of what changed, as the event loop does after a key press.
        QApplication::processEvents();
    }
    state.counters["entries"] = n;
}
BENCHMARK(BM_Append)->Arg(10)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The same without the paint: the list's own work, which the event loop's paint
// then follows.
static void BM_AppendUnpainted(benchmark::State &state)
{
    ShownList shown(static_cast<int>(state.range(0)));
    int n = shown.list.itemCount();
    for (auto _ : state)
        addEntry(shown.list, n++);
    QApplication::processEvents();
}
BENCHMARK(BM_AppendUnpainted)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

static void BM_Clear(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        ShownList shown(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        shown.list.clear();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Clear)->Arg(1000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return qtBenchmarkMain(argc, argv);
}
