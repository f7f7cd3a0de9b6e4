#pragma once

#include <QDateTime>
#include <QString>

namespace tallyclock {

// Where exported workbooks are written before the spreadsheet program opens them.

// One workbook on its way to the spreadsheet program. It is written inside a folder of
// its own, so that a write abandoned half-way (the program ending) leaves nothing
// behind: once the folder is gone, a writer that has not yet created its file cannot.
struct WorkbookFile
{
    QString path; // what the spreadsheet program opens
    QString writePath; // where the workbook is written
    QString folder; // the folder of its own
};

// A workbook that the program reads as a template and never saves back: a file in a
// new folder "tallyclock-XXXXXX" of its own under `temporaryFolder`. Fails when the
// folder cannot be made.
WorkbookFile newTemplateWorkbook(const QString &temporaryFolder);

// A workbook the user keeps, opened as it is: "Tallyclock/Results YYYY-MM-DD
// hh.mm.ss.xlsx" under `documentsFolder`, with " (2)", " (3)", ... when that name is
// taken. The name is reserved at once (an empty file, created only if none exists), so
// that two exports never choose the same one; the workbook is written in a hidden
// folder beside it. Fails when the folder or the file cannot be made.
WorkbookFile newKeptWorkbook(const QString &documentsFolder, const QDateTime &now);

// The workbook has been written: it takes its name and its own folder goes. Fails when
// it cannot be moved there (the caller then discards it).
void completeWorkbook(const WorkbookFile &file);

// The workbook will not be completed: removes its folder, with whatever a writer still
// puts there, and a reserved name that is still empty. Never fails.
void discardWorkbook(const WorkbookFile &file);

// Removes the template folders that runs left under `temporaryFolder` once everything
// in them is more than a day old: only folders of this user named "tallyclock-XXXXXX"
// that hold nothing but workbooks, never through a link. Returns how many went.
// Never fails.
int removeStaleTemplateWorkbooks(const QString &temporaryFolder, const QDateTime &now);

} // namespace tallyclock
