#include "OptionalFile.h"

#include <QDir>

#include <algorithm>

namespace tallyclock::optionalfile {

Failure cannotRead(const QString &path, const QString &reason)
{
    return failures::fileAccess(QDir::toNativeSeparators(path), reason);
}

Failure tooLarge(const QString &path, qint64 maxBytes)
{
    return cannotRead(path, QStringLiteral("larger than %1 KiB").arg(maxBytes / 1024));
}

QByteArray readAtMost(const QString &path, qint64 size, qint64 maxBytes,
    const std::function<qint64(char *buffer, qint64 room)> &read)
{
    QByteArray bytes(static_cast<qsizetype>(std::min(size, maxBytes) + 1), '\0');
    qsizetype total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes)
                throw tooLarge(path, maxBytes);
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, maxBytes + 1));
        }
        const qint64 got = read(bytes.data() + total, bytes.size() - total);
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxBytes)
        throw tooLarge(path, maxBytes);
    bytes.truncate(total);
    return bytes;
}

} // namespace tallyclock::optionalfile
