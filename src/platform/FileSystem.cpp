#include "FileSystem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace tallyclock {

bool FileExists(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    return QFileInfo(path).lastModified().isValid();
}

QString applicationFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace tallyclock
