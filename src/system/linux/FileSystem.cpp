#include "system/FileSystem.h"

#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace tallyclock {

bool isSystemFile(const QString &)
{
    return false;
}

std::optional<FileOwner> fileOwner(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileOwner{status.st_uid, status.st_gid};
}

void restoreFileOwner(const QString &path, const FileOwner &owner)
{
    if (::chown(QFile::encodeName(path).constData(), owner.user, owner.group) != 0) {
        // Best effort, as the header says.
    }
}

bool ownedByCurrentUser(const QString &path)
{
    const std::optional<FileOwner> owner = fileOwner(path);
    return owner && owner->user == ::getuid();
}

QByteArray cLibraryFileName(const QString &path)
{
    return QFile::encodeName(path);
}

QString userFilesFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/tallyclock");
}

} // namespace tallyclock
