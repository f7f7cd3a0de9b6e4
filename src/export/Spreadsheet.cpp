#include "Spreadsheet.h"

#include "NumericLocale.h"
#include "WorkbookPlaces.h"
#include "core/Failure.h"
#include "platform/Desktop.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <xlsxwriter.h>

namespace tallyclock {

namespace {

Failure cannotCreate()
{
    return Failure(QStringLiteral("ActiveX component can't create object"));
}

// The width a column needs for its longest text, in character units.
double columnWidth(qsizetype longest)
{
    constexpr double defaultWidth = 8.43;
    return longest == 0 ? defaultWidth : std::max(defaultWidth, longest * 1.1 + 1.0);
}

} // namespace

bool isPlainDecimal(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    return decimal.match(text).hasMatch();
}

void SpreadsheetSheet::setCell(int row, int column, const QString &text)
{
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns)
        throw Failure(QStringLiteral("Application-defined or object-defined error"));
    m_cells.insert({row, column}, text);
}

SpreadsheetApplication::SpreadsheetApplication(Desktop &desktop)
    : m_desktop(desktop)
{ }

std::unique_ptr<SpreadsheetApplication> SpreadsheetApplication::create(Desktop &desktop)
{
    if (!desktop.spreadsheetProgramAvailable())
        throw cannotCreate();
    return std::unique_ptr<SpreadsheetApplication>(new SpreadsheetApplication(desktop));
}

SpreadsheetWorkbook &SpreadsheetApplication::addWorkbook()
{
    m_workbooks.push_back(std::make_unique<SpreadsheetWorkbook>());
    return *m_workbooks.back();
}

void SpreadsheetApplication::setVisible(bool visible)
{
    if (!visible)
        return;
    for (; m_shown < m_workbooks.size(); ++m_shown) {
        // A program that opens the file as a new, untitled workbook only reads it: a
        // temporary file will do, and the user's Save asks where to put the work.
        // Any other program would save into the file itself, so it goes where files
        // last.
        const QString path = m_desktop.spreadsheetOpensAsNewDocument()
            ? newTemplateWorkbookPath(m_desktop.temporaryFolder())
            : newKeptWorkbookPath(m_desktop.documentsFolder(), QDateTime::currentDateTime());
        writeXlsx(path, m_workbooks[m_shown]->ActiveSheet());
        if (!m_desktop.openInSpreadsheetProgram(path))
            throw Failure(QStringLiteral("The spreadsheet program could not open ") + path);
    }
}

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

bool SaveResultsAsExcelFileIsExcelInstalled(Desktop &desktop, const QString &applicationTitle)
{
    bool result = true;
    bool obtained = false;
    bool failed = false;
    try {
        obtained = SpreadsheetApplication::create(desktop) != nullptr;
    } catch (const ProgramEnding &) {
        throw;
    } catch (...) {
        failed = true;
    }
    if (!obtained) {
        try {
            desktop.messageBox(QStringLiteral("Excel is not installed on this computer. You need "
                                              "to have it installed to use this software without "
                                              "error."),
                MessageStyle::OkOnly, applicationTitle);
        } catch (const ProgramEnding &) {
            throw;
        } catch (...) { }
    }
    if (failed)
        result = false;
    return result;
}

} // namespace tallyclock
