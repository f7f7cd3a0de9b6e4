#include "ErrorReport.h"

#include "core/Desktop.h"

#ifndef TALLYCLOCK_SUPPORT_EMAIL
#define TALLYCLOCK_SUPPORT_EMAIL "support@tallyclock.example"
#endif

namespace tallyclock {

QString composeErrorReport(
    const QString &description, const QString &location, int line, const QString &address)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ")
        + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + address;
}

QString supportAddress()
{
    return QStringLiteral(TALLYCLOCK_SUPPORT_EMAIL);
}

QString handlerLocation(const char *handler)
{
    return QStringLiteral("in Tallyclock2021/08/31.Form1.") + QLatin1String(handler)
        + QLatin1Char(' ');
}

void showErrorReport(
    Desktop &desktop, const QString &description, const QString &location, int line)
{
    desktop.messageBox(composeErrorReport(description, location, line, supportAddress()),
        MessageStyle::Exclamation, QStringLiteral("Application Error"));
}

} // namespace tallyclock
