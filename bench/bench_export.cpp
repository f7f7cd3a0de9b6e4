// Cost of the exports for a long results list, without the event loop's work (the
// yields go to a desktop that does nothing): the aligned rendering for the clipboard
// and the workbook written with libxlsxwriter.
#include "export/ResultsText.h"
#include "export/Spreadsheet.h"
#include "export/XlsxFile.h"
#include "platform/Desktop.h"
#include "stopwatch/ResultsList.h"
#include "stopwatch/ResultsView.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tallyclock;

namespace {

class QuietDesktop final : public Desktop
{
public:
    bool clearClipboard() override { return true; }
    bool setClipboardText(const QString &) override { return true; }
    bool spreadsheetProgramAvailable() override { return true; }
    bool spreadsheetOpensAsNewDocument() override { return true; }
    bool openInSpreadsheetProgram(const QString &) override { return true; }
    QString temporaryFolder() override { return QString(); }
    QString documentsFolder() override { return QString(); }

protected:
    int showMessageBox(const QString &, int, const QString &) override { return 1; }
    void processPendingEvents() override { }
    QString showSaveDialog(const QString &, const QString &) override { return QString(); }
};

void fill(ResultsList &list, int entries)
{
    list.addColumnHeader(QStringLiteral("Result(s)"));
    list.addColumnHeader(QStringLiteral("Result(s)"));
    for (int i = 0; i < entries; ++i) {
        const QString time = QString::number(i * 1.234, 'f', 3);
        ResultEntry entry = list.addItem(QStringLiteral("Timer Lapsed at ") + time);
        entry.setSubItems(1, time);
        entry.setChecked(true);
    }
}

} // namespace

static void BM_ListViewToText(benchmark::State &state)
{
    ResultsView view;
    ResultsList list(view);
    fill(list, static_cast<int>(state.range(0)));
    QuietDesktop desktop;
    for (auto _ : state)
        benchmark::DoNotOptimize(ListViewToText(list, desktop));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListViewToText)->Arg(100)->Arg(2000);

static void BM_WriteXlsx(benchmark::State &state)
{
    SpreadsheetSheet sheet;
    for (int row = 1; row <= state.range(0); ++row) {
        sheet.setCell(row, 1, QStringLiteral("Timer Lapsed at "));
        sheet.setCell(row, 2, QString::number(row * 1.234, 'f', 3));
    }
    sheet.autoFitColumns();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    for (auto _ : state)
        writeXlsx(path, sheet);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteXlsx)->Arg(2000);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
