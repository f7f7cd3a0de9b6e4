#pragma once

#include "SpreadsheetProgram.h"

#include <QString>

namespace tallyclock {

// The launch for the program that Windows associates with .xlsx files, given its
// executable. Excel opens a file as a template with "/t" and LibreOffice (soffice,
// scalc) with "-n": both give a new untitled workbook. Any other program gets the file
// as it is, through the shell.
SpreadsheetLaunch launchForAssociation(const QString &executable);

} // namespace tallyclock
