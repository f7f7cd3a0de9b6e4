#pragma once

#include "SpreadsheetProgram.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tallyclock {

// Reading the desktop entries (.desktop files) of freedesktop.org desktops.

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
