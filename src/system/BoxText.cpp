#include "BoxText.h"

namespace tallyclock {

QString boxText(const QString &text)
{
#if defined(Q_OS_WIN)
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
#else
    return text;
#endif
}

} // namespace tallyclock
