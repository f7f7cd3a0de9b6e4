#pragma once

#include <QString>

namespace tallyclock {

inline QString productName()
{
    return QStringLiteral("Tallyclock Software");
}

// The title of message boxes that name none of their own: the product name cut at
// its last blank, again and again while it is longer than 40 characters.
QString applicationTitleFor(const QString &productName);

} // namespace tallyclock
