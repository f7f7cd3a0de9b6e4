#pragma once

#include "workbook/SpreadsheetSheet.h"

#include <QString>

#include <memory>

namespace tallyclock {

class Desktop;

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

// True when a spreadsheet program can be started; otherwise says so and is false.
// Never fails.
bool SaveResultsAsExcelFileIsExcelInstalled(Desktop &desktop, const QString &applicationTitle);

} // namespace tallyclock
