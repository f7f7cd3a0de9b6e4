#include "FileSystem.h"

#include <QDir>

#include <windows.h>

namespace tallyclock {

bool isSystemFile(const QString &path)
{
    const DWORD attributes
        = GetFileAttributesW(QDir::toNativeSeparators(path).toStdWString().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
}

std::optional<FileOwner> fileOwner(const QString &)
{
    return std::nullopt;
}

void restoreFileOwner(const QString &, const FileOwner &) { }

bool ownedByCurrentUser(const QString &)
{
    return true;
}

QByteArray cLibraryFileName(const QString &path)
{
    return path.toUtf8();
}

} // namespace tallyclock
