#pragma once

#include <QDateTime>
#include <QString>

namespace tallyclock {

// Where exported workbooks are written before the spreadsheet program opens them.

// A workbook that the program reads as a template and never saves back: a file in a
// new folder "tallyclock-XXXXXX" of its own under `temporaryFolder`. Fails when the
// folder cannot be made.
QString newTemplateWorkbookPath(const QString &temporaryFolder);

// A workbook the user keeps, opened as it is: "Tallyclock/Results YYYY-MM-DD
// hh.mm.ss.xlsx" under `documentsFolder`, with " (2)", " (3)", ... when that name is
// taken. Fails when the folder cannot be made.
QString newKeptWorkbookPath(const QString &documentsFolder, const QDateTime &now);

// Removes the template folders that runs left under `temporaryFolder` once everything
// in them is more than a day old: only folders of this user named "tallyclock-XXXXXX"
// that hold nothing but workbooks, never through a link. Returns how many went.
// Never fails.
int removeStaleTemplateWorkbooks(const QString &temporaryFolder, const QDateTime &now);

} // namespace tallyclock
