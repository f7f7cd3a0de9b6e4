#pragma once

#include "core/Failure.h"
#include "skin/SkinEngine.h"

#include <QStringList>

namespace tallyclock {

// Records each call as "id kind args"; the call numbered `failAt` (1-based) fails.
class RecordingSkinEngine final : public SkinEngine
{
public:
    QStringList calls;
    int failAt = 0;
    QVariant options = 6;

    QVariant invoke(int dispatchId, CallKind kind, const QVariantList &args = {}) override
    {
        QStringList parts{QString::number(dispatchId),
            kind == CallKind::Method            ? QStringLiteral("call")
                : kind == CallKind::PropertyGet ? QStringLiteral("get")
                                                : QStringLiteral("put")};
        for (const QVariant &arg : args)
            parts << QStringLiteral("%1:%2").arg(
                QString::fromLatin1(arg.typeName()), arg.toString());
        calls << parts.join(QLatin1Char(' '));
        if (calls.size() == failAt)
            throw Failure(QStringLiteral("The skin engine rejected the call"));
        return kind == CallKind::PropertyGet ? options : QVariant();
    }
};

} // namespace tallyclock
