#pragma once

#include <QString>
#include <QStringList>

namespace tallyclock {

// True when an entry of that path exists (its modification time can be read).
// Never fails: an empty, malformed or unreachable path is simply false.
bool FileExists(const QString &path);

// The path of `name` in the first of `folders` where it exists (FileExists), or "".
QString firstExisting(const QStringList &folders, const QString &name);

// True when the file carries the system's mark of a file of its own (Windows' system
// attribute); such a file is not the user's. Elsewhere there is no such mark: false.
// One implementation per platform (SystemFile_posix.cpp, SystemFile_windows.cpp).
bool isSystemFile(const QString &path);

// The user's folder for the optional files, one implementation per platform: on Linux
// $XDG_CONFIG_HOME/tallyclock, by default ~/.config/tallyclock (UserFolder_xdg.cpp); on
// Windows %APPDATA%\Tallyclock (UserFolder_windows.cpp).
QString userFilesFolder();

} // namespace tallyclock
