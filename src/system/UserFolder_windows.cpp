#include "FileSystem.h"

#include <QDir>

#include <shlobj.h>
#include <windows.h>

namespace tallyclock {

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
