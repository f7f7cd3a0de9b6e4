#include "system/FileSystem.h"

#include <QDir>

#include <shlobj.h>
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

// The user's roaming application data (%APPDATA%), which follows the user from one
// computer of a domain to the next, as settings do.
QString userFilesFolder()
{
    PWSTR folder = nullptr;
    QString found;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)))
        found = QDir::fromNativeSeparators(QString::fromWCharArray(folder));
    CoTaskMemFree(folder);
    return found.isEmpty() ? QString() : found + QStringLiteral("/Tallyclock");
}

} // namespace tallyclock
