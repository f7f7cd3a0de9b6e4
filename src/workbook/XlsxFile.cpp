#include "XlsxFile.h"

#include "SpreadsheetSheet.h"
#include "core/Failure.h"
#include "system/FileSystem.h"
#include "system/NumericLocale.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
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

// The spreadsheet writer's library, loaded when the first workbook is written rather
// than when the program starts: most runs never export, and the library brings its
// zip and crypto libraries along. It stays loaded for the rest of the run.
class XlsxWriterLibrary
{
public:
    decltype(&::workbook_new) workbookNew = nullptr;
    decltype(&::workbook_add_worksheet) addWorksheet = nullptr;
    decltype(&::workbook_add_format) addFormat = nullptr;
    decltype(&::format_set_num_format) setNumFormat = nullptr;
    decltype(&::worksheet_write_number) writeNumber = nullptr;
    decltype(&::worksheet_write_string) writeString = nullptr;
    decltype(&::worksheet_set_column) setColumn = nullptr;
    decltype(&::workbook_close) workbookClose = nullptr;
    decltype(&::lxw_strerror) strerror = nullptr;

    // The library, or a failure that says why it cannot be had. Safe from any thread.
    static const XlsxWriterLibrary &get()
    {
        static const XlsxWriterLibrary loaded;
        if (!loaded.m_error.isEmpty())
            throw Failure(loaded.m_error);
        return loaded;
    }

private:
    XlsxWriterLibrary()
    {
        m_library.setFileNameAndVersion(QStringLiteral(TALLYCLOCK_XLSXWRITER_NAME),
            QStringLiteral(TALLYCLOCK_XLSXWRITER_VERSION));
        if (!m_library.load()) {
            m_error = QStringLiteral("The spreadsheet writer cannot be loaded: ")
                + m_library.errorString();
            return;
        }
        resolve(workbookNew, "workbook_new");
        resolve(addWorksheet, "workbook_add_worksheet");
        resolve(addFormat, "workbook_add_format");
        resolve(setNumFormat, "format_set_num_format");
        resolve(writeNumber, "worksheet_write_number");
        resolve(writeString, "worksheet_write_string");
        resolve(setColumn, "worksheet_set_column");
        resolve(workbookClose, "workbook_close");
        resolve(strerror, "lxw_strerror");
    }

    template<typename Function> void resolve(Function &function, const char *name)
    {
        function = reinterpret_cast<Function>(m_library.resolve(name));
        if (!function && m_error.isEmpty())
            m_error = QStringLiteral("The spreadsheet writer ") + m_library.fileName()
                + QStringLiteral(" has no ") + QLatin1String(name);
    }

    QLibrary m_library;
    QString m_error;
};

} // namespace

void writeXlsx(const QString &path, const SpreadsheetSheet &sheet)
{
    const XlsxWriterLibrary &xlsx = XlsxWriterLibrary::get();
    const CNumericLocale cLocale;
    const QByteArray fileName = cLibraryFileName(path);
    lxw_workbook *workbook = xlsx.workbookNew(fileName.constData());
    if (!workbook)
        throw Failure(
            QStringLiteral("Cannot create the workbook ") + QDir::toNativeSeparators(path));
    lxw_worksheet *worksheet = xlsx.addWorksheet(workbook, nullptr);
    lxw_format *threeDecimals = xlsx.addFormat(workbook);
    xlsx.setNumFormat(threeDecimals, "0.000");

    QMap<int, qsizetype> longest;
    lxw_error error = LXW_NO_ERROR;
    for (auto it = sheet.cells().cbegin(); it != sheet.cells().cend() && !error; ++it) {
        const auto row = static_cast<lxw_row_t>(it.key().first - 1);
        const auto column = static_cast<lxw_col_t>(it.key().second - 1);
        const QString &text = it.value();
        qsizetype shown = text.size();
        if (isPlainDecimal(text)) {
            const double value = QLocale::c().toDouble(text);
            error = xlsx.writeNumber(worksheet, row, column, value, threeDecimals);
            shown = QString::number(value, 'f', 3).size();
        } else if (!text.isEmpty()) {
            error = xlsx.writeString(worksheet, row, column, text.toUtf8().constData(), nullptr);
        }
        longest[it.key().second] = std::max(longest.value(it.key().second), shown);
    }
    if (sheet.autoFit() && !error) {
        for (auto it = longest.cbegin(); it != longest.cend() && !error; ++it) {
            const auto column = static_cast<lxw_col_t>(it.key() - 1);
            error = xlsx.setColumn(worksheet, column, column, columnWidth(it.value()), nullptr);
        }
    }
    const lxw_error closed = xlsx.workbookClose(workbook);
    if (!error)
        error = closed;
    if (error) {
        QFile::remove(path);
        throw Failure(QStringLiteral("Cannot write the workbook ") + QDir::toNativeSeparators(path)
            + QStringLiteral(": ") + QString::fromUtf8(xlsx.strerror(error)));
    }
}

} // namespace tallyclock
