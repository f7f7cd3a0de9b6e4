#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <memory>

namespace tallyclock {

class Desktop;

// The cells of one worksheet as the program assigned them, 1-based.
class SpreadsheetSheet
{
public:
    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 16384;

    // Assigns a text value; the sheet makes a number of a text that reads as a plain
    // decimal, as a spreadsheet program does with typed text. Fails outside the sheet.
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const { return m_cells.value({row, column}); }

    // Each column's width from its longest text.
    void autoFitColumns() { m_autoFit = true; }
    bool autoFit() const { return m_autoFit; }

    const QMap<QPair<int, int>, QString> &cells() const { return m_cells; }

private:
    QMap<QPair<int, int>, QString> m_cells;
    bool m_autoFit = false;
};

class SpreadsheetWorkbook
{
public:
    SpreadsheetSheet &ActiveSheet() { return m_sheet; }

private:
    SpreadsheetSheet m_sheet;
};

// The spreadsheet program as the export drives it: create it, add a workbook, fill
// the active sheet, make it visible. Making it visible writes each new workbook to a
// new .xlsx file and opens it in the desktop's spreadsheet program, so that the user
// gets a new, unsaved workbook: where the program can, as an untitled copy of a
// temporary file; otherwise as a file of its own in the user's documents folder.
class SpreadsheetApplication
{
public:
    // Fails when no spreadsheet program is installed.
    static std::unique_ptr<SpreadsheetApplication> create(Desktop &desktop);

    SpreadsheetWorkbook &addWorkbook();
    // Fails when a workbook cannot be written or the program cannot be started.
    void setVisible(bool visible);

private:
    explicit SpreadsheetApplication(Desktop &desktop);

    Desktop &m_desktop;
    std::vector<std::unique_ptr<SpreadsheetWorkbook>> m_workbooks;
    std::size_t m_shown = 0;
};

// Whether the text reads as a plain decimal number: digits with at most one point,
// an optional sign, nothing else.
bool isPlainDecimal(const QString &text);

// Writes the sheet as an .xlsx workbook. Numbers are written the same whatever the
// user's locale. A failed write leaves no file behind and fails.
void writeXlsx(const QString &path, const SpreadsheetSheet &sheet);

// True when a spreadsheet program can be started; otherwise says so and is false.
// Never fails.
bool SaveResultsAsExcelFileIsExcelInstalled(Desktop &desktop, const QString &applicationTitle);

} // namespace tallyclock
