#include "XlsxFile.h"

#include "NumericLocale.h"
#include "SpreadsheetSheet.h"
#include "core/Failure.h"

#include <QFile>
#include <QLocale>

#include <xlsxwriter.h>

#include <algorithm>

namespace tallyclock {

namespace {

// The width a column needs for its longest text, in character units.
double columnWidth(qsizetype longest)
{
    constexpr double defaultWidth = 8.43;
    return longest == 0 ? defaultWidth : std::max(defaultWidth, longest * 1.1 + 1.0);
}

} // namespace

void writeXlsx(const QString &path, const SpreadsheetSheet &sheet)
{
    const CNumericLocale cLocale;
    const QByteArray fileName = QFile::encodeName(path);
    lxw_workbook *workbook = workbook_new(fileName.constData());
    if (!workbook)
        throw Failure(QStringLiteral("Cannot create the workbook ") + path);
    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format *threeDecimals = workbook_add_format(workbook);
    format_set_num_format(threeDecimals, "0.000");

    QMap<int, qsizetype> longest;
    lxw_error error = LXW_NO_ERROR;
    for (auto it = sheet.cells().cbegin(); it != sheet.cells().cend() && !error; ++it) {
        const auto row = static_cast<lxw_row_t>(it.key().first - 1);
        const auto column = static_cast<lxw_col_t>(it.key().second - 1);
        const QString &text = it.value();
        qsizetype shown = text.size();
        if (isPlainDecimal(text)) {
            const double value = QLocale::c().toDouble(text);
            error = worksheet_write_number(worksheet, row, column, value, threeDecimals);
            shown = QString::number(value, 'f', 3).size();
        } else if (!text.isEmpty()) {
            error = worksheet_write_string(
                worksheet, row, column, text.toUtf8().constData(), nullptr);
        }
        longest[it.key().second] = std::max(longest.value(it.key().second), shown);
    }
    if (sheet.autoFit() && !error) {
        for (auto it = longest.cbegin(); it != longest.cend() && !error; ++it) {
            const auto column = static_cast<lxw_col_t>(it.key() - 1);
            error
                = worksheet_set_column(worksheet, column, column, columnWidth(it.value()), nullptr);
        }
    }
    const lxw_error closed = workbook_close(workbook);
    if (!error)
        error = closed;
    if (error) {
        QFile::remove(path);
        throw Failure(QStringLiteral("Cannot write the workbook ") + path + QStringLiteral(": ")
            + QString::fromUtf8(lxw_strerror(error)));
    }
}

} // namespace tallyclock
