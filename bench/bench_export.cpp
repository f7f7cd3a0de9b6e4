// The exports of a long results list, each as the program runs it, yields included
// (every yield lets Qt's event loop run): the aligned text for the clipboard, the
// text file saved to a temporary folder and the workbook written there.
#include "qtdesktop/QtDesktop.h"
#include "resultactions/ExportActivity.h"
#include "resultactions/ResultsText.h"
#include "resultactions/SpreadsheetExport.h"
#include "resultactions/TextFile.h"
#include "results/ResultsList.h"
#include "results/ResultsView.h"
#include "skin/PointerSetting.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace tallyclock;

namespace {

// The program's yields; dialogs answered at once, files go to a temporary folder
// and the spreadsheet program is not started.
class BenchDesktop final : public QtDesktop
{
public:
    QTemporaryDir folder;
    QString savePath = folder.filePath(QStringLiteral("results.txt"));

    bool spreadsheetProgramAvailable() override { return true; }
    bool spreadsheetOpensAsNewDocument() override { return true; }
    bool openInSpreadsheetProgram(const QString &path) override { return QFile::remove(path); }
    QString temporaryFolder() override { return folder.path(); }
    QString documentsFolder() override { return folder.path(); }

protected:
    int showMessageBox(const QString &, int, const QString &) override
    {
        return MessageAnswer::Yes;
    }
    QString showSaveDialog(const QString &, const QString &) override { return savePath; }
};

// A list as long holding of Space makes it: every entry ticked, with its time.
struct FilledList
{
    ResultsView view;
    ResultsList list{view};

    explicit FilledList(int entries)
    {
        list.addColumnHeader(QStringLiteral("Result(s)"));
        list.addColumnHeader(QStringLiteral("Result(s)"));
        for (int i = 0; i < entries; ++i) {
            const QString time = QString::number(i * 0.033, 'f', 3);
            ResultEntry entry = list.addItem(
                (i % 2 ? QStringLiteral("Timer stopped at ") : QStringLiteral("Timer started at "))
                + time);
            entry.setSubItems(1, time);
            entry.setChecked(true);
        }
    }
};

void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

static void BM_ListViewToText(benchmark::State &state)
{
    FilledList filled(static_cast<int>(state.range(0)));
    BenchDesktop desktop;
    for (auto _ : state)
        benchmark::DoNotOptimize(ListViewToText(filled.list, desktop));
    reportPeakMemory(state);
}

static void BM_SaveTextFile(benchmark::State &state)
{
    FilledList filled(static_cast<int>(state.range(0)));
    BenchDesktop desktop;
    PointerSetting pointer;
    ExportActivity exports;
    const QString title = QStringLiteral("Tallyclock");
    TextFileSave save(desktop, filled.list, pointer, exports, title);
    for (auto _ : state) {
        save.PushButton4_Click();
        state.PauseTiming();
        QFile::remove(desktop.savePath);
        state.ResumeTiming();
    }
    reportPeakMemory(state);
}

static void BM_Workbook(benchmark::State &state)
{
    FilledList filled(static_cast<int>(state.range(0)));
    BenchDesktop desktop;
    PointerSetting pointer;
    ExportActivity exports;
    for (auto _ : state)
        PushButton13_Click(desktop, filled.list, pointer, exports, QStringLiteral("Tallyclock"));
    reportPeakMemory(state);
}

// Each export in its own process run keeps the peak memory its own: run with
// --benchmark_filter to measure one.
BENCHMARK(BM_ListViewToText)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTextFile)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Workbook)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return qtBenchmarkMain(argc, argv);
}
