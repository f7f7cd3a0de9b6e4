#include "FileSystem.h"

#include <QDateTime>
#include <QFileInfo>

namespace tallyclock {

bool FileExists(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    return QFileInfo(path).lastModified().isValid();
}

QString firstExisting(const QStringList &folders, const QString &name)
{
    for (const QString &folder : folders) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!folder.isEmpty() && FileExists(path))
            return path;
    }
    return QString();
}

} // namespace tallyclock
