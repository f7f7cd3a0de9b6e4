#include "ApplicationTitle.h"

namespace tallyclock {

QString applicationTitleFor(const QString &productName)
{
    constexpr qsizetype maximumLength = 40;
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break; // nothing left to cut at
        title.truncate(blank);
    } while (title.size() > maximumLength);
    return title;
}

} // namespace tallyclock
