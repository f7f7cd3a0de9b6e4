#include "Spreadsheet.h"

#include "core/Desktop.h"
#include "core/Failure.h"
#include "workbook/WorkbookPlaces.h"
#include "workbook/XlsxFile.h"

#include <QDateTime>
#include <QDir>

namespace tallyclock {

SpreadsheetApplication::SpreadsheetApplication(Desktop &desktop)
    : m_desktop(desktop)
{ }

std::unique_ptr<SpreadsheetApplication> SpreadsheetApplication::create(Desktop &desktop)
{
    if (!desktop.spreadsheetProgramAvailable())
        throw Failure(QStringLiteral("ActiveX component can't create object"));
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
        const WorkbookFile file = m_desktop.spreadsheetOpensAsNewDocument()
            ? newTemplateWorkbook(m_desktop.temporaryFolder())
            : newKeptWorkbook(m_desktop.documentsFolder(), QDateTime::currentDateTime());
        // A long list makes a large file: it is written away from the window's thread,
        // from a copy of the sheet (its cells are shared, not copied), because the
        // writer may outlive this export when the program ends.
        m_desktop.runAside(
            [file, sheet = m_workbooks[m_shown]->ActiveSheet()] {
                try {
                    writeXlsx(file.writePath, sheet);
                    completeWorkbook(file);
                } catch (...) {
                    discardWorkbook(file);
                    throw;
                }
            },
            [file] { discardWorkbook(file); });
        if (!m_desktop.openInSpreadsheetProgram(file.path))
            throw Failure(QStringLiteral("The spreadsheet program could not open ")
                + QDir::toNativeSeparators(file.path));
    }
}

bool SaveResultsAsExcelFileIsExcelInstalled(Desktop &desktop, const QString &applicationTitle)
{
    // The application can be created exactly when the desktop has a spreadsheet program.
    if (desktop.spreadsheetProgramAvailable())
        return true;
    try {
        desktop.messageBox(QStringLiteral("Excel is not installed on this computer. You need to "
                                          "have it installed to use this software without error."),
            MessageStyle::OkOnly, applicationTitle);
    } catch (const ProgramEnding &) {
        throw;
    } catch (...) {
        // The test reports nothing of its own.
    }
    return false;
}

} // namespace tallyclock
