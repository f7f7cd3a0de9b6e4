#pragma once

#include <QString>

namespace tallyclock {

class Desktop;

// The text of an error report: the description, CR LF, where it happened and the
// step number, two bare CRs and the request for a screenshot.
QString composeErrorReport(
    const QString &description, const QString &location, int line, const QString &supportAddress);

// The address that reports ask the user to write to (set when the program is built).
QString supportAddress();

// The location text that names a handler of the main window in a report, for
// example "in Tallyclock2021/08/31.Form1.PushButton2_Click ".
QString handlerLocation(const char *handler);

// Shows the report in the warning box titled "Application Error" and waits for OK.
void showErrorReport(
    Desktop &desktop, const QString &description, const QString &location, int line);

} // namespace tallyclock
