#include "SpreadsheetExport.h"

#include "Spreadsheet.h"
#include "core/Desktop.h"
#include "core/Failure.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "resultactions/ExportActivity.h"
#include "results/ResultsList.h"
#include "skin/PointerSetting.h"

namespace tallyclock {

QString removeAll(QString text, const QString &search)
{
    if (search.isEmpty())
        return text;
    return text.remove(search, Qt::CaseSensitive);
}

void PushButton13_Click(Desktop &desktop, const ResultsList &results, PointerSetting &pointer,
    ExportActivity &exports, const QString &applicationTitle)
{
    TrappedHandler h(desktop, handlerLocation("PushButton13_Click"));

    if (h.test(100,
            [&] { return !SaveResultsAsExcelFileIsExcelInstalled(desktop, applicationTitle); })) {
        h.step(170, [&] {
            desktop.messageBox(QStringLiteral("Excel is not installed on this computer. You need "
                                              "to have it installed to use this feature."),
                MessageStyle::OkOnly, applicationTitle);
        });
        return;
    }
    if (h.test(108, [&] { return results.itemCount() == 0; }))
        return;

    ExportActivity::Scope busy(exports);
    std::unique_ptr<SpreadsheetApplication> application;
    SpreadsheetWorkbook *workbook = nullptr;
    int column = 0;
    int row = 0;
    auto sheet = [&]() -> SpreadsheetSheet & {
        if (!workbook)
            throw failures::objectNotSet();
        return workbook->ActiveSheet();
    };

    h.step(110, [&] { pointer.set(PointerSetting::Hourglass); });
    h.step(112, [&] { application = SpreadsheetApplication::create(desktop); });
    h.step(114, [&] {
        if (!application)
            throw failures::objectNotSet();
        workbook = &application->addWorkbook();
    });
    h.step(116, [&] { column = 1; });
    h.forLoop(
        118, [&] { return results.columnHeaderCount(); },
        [&](int c) {
            h.step(120, [&] { desktop.yield(); });
            // Both branches do the same; the header row keeps its own step numbers.
            if (h.test(122, [&] { return c == 1; })) {
                h.step(124, [&] { sheet().setCell(1, column, results.columnHeaderText(c)); });
                h.step(126, [&] { ++column; });
            } else {
                h.step(128, [&] { sheet().setCell(1, column, results.columnHeaderText(c)); });
                h.step(130, [&] { ++column; });
            }
        });
    h.step(134, [&] { row = 2; });
    h.forLoop(
        136, [&] { return results.itemCount(); },
        [&](int p) {
            h.step(138, [&] { desktop.yield(); });
            if (h.test(140, [&] { return results.item(p).Checked(); })) {
                h.step(142, [&] { column = 1; });
                h.forLoop(
                    144, [&] { return results.columnHeaderCount(); },
                    [&](int c) {
                        h.step(146, [&] { desktop.yield(); });
                        if (h.test(148, [&] { return c == 1; })) {
                            h.step(150, [&] {
                                const ResultEntry entry = results.item(p);
                                sheet().setCell(
                                    row, column, removeAll(entry.Text(), entry.SubItems(1)));
                            });
                            h.step(152, [&] { ++column; });
                        } else {
                            h.step(154, [&] {
                                sheet().setCell(row, column,
                                    removeAll(
                                        results.item(p).SubItems(c - 1), QStringLiteral("=")));
                            });
                            h.step(156, [&] { ++column; });
                        }
                    });
            }
            h.step(160, [&] { ++row; });
        });
    h.step(164, [&] { sheet().autoFitColumns(); });
    h.step(166, [&] {
        if (!application)
            throw failures::objectNotSet();
        application->setVisible(true);
    });
    h.step(168, [&] { pointer.set(PointerSetting::Default); });
}

} // namespace tallyclock
