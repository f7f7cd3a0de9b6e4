#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// The launch for a desktop entry's Exec line. LibreOffice (soffice, libreoffice, localc,
// loffice) opens a file as a new untitled document with "-n"; any other program gets
// the file as it is, through the desktop.
SpreadsheetLaunch launchForExec(const QString &exec);

// The Exec value of the [Desktop Entry] group of a desktop file, or "".
QString desktopEntryExec(const QByteArray &desktopFile);

// The arguments of an Exec value, unquoted as desktop entries quote them, with the
// field codes (%f, %U, ...) left out.
QStringList splitExec(const QString &exec);

} // namespace tallyclock
