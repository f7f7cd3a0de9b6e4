#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

namespace tallyclock {

// How the desktop's program for spreadsheet files is started with a workbook.
struct SpreadsheetLaunch
{
    // The program to start with `arguments` and then the file; "" means the desktop
    // opens the file its own way (xdg-open and the like).
    QString program;
    QStringList arguments;
    // The program reads the file as a template: the user gets a new, untitled workbook
    // whose Save asks where to put it, and the file itself is no longer needed.
    bool opensAsNewDocument = false;
};

// The desktop's program for .xlsx files (on Linux, or else a spreadsheet program on the
// PATH); none when there is no such program. It starts a child process and reads files, so it runs
// away from the GUI thread; it gives up (at once, ending its child) when `stop` is set,
// and after a few seconds in any case.
std::optional<SpreadsheetLaunch> findSpreadsheetProgram(
    const std::shared_ptr<std::atomic_bool> &stop);

} // namespace tallyclock
