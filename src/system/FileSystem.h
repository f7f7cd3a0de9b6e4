#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tallyclock {

// True when an entry of that path exists (its modification time can be read).
// Never fails: an empty, malformed or unreachable path is simply false.
bool FileExists(const QString &path);

// The path of `name` in the first of `folders` where it exists (FileExists), or "".
QString firstExisting(const QStringList &folders, const QString &name);

// True when the file carries the system's mark of a file of its own (Windows' system
// attribute); such a file is not the user's. Elsewhere there is no such mark: false.
bool isSystemFile(const QString &path);

// A file's owner where the system keeps one per file (user and group ids on Linux).
struct FileOwner
{
    unsigned user = 0;
    unsigned group = 0;
};

// The owner of the file at `path`, or nothing when it cannot be read or the system
// gives a replaced file its owner itself (Windows, from the folder's permissions).
std::optional<FileOwner> fileOwner(const QString &path);

// Gives the file back to `owner`, best effort: only an administrator may give a file
// away, and a user saving over their own file keeps it anyway.
void restoreFileOwner(const QString &path, const FileOwner &owner);

// True when the user running Tallyclock owns the file; always true where files have
// no single owning user the program could compare (Windows).
bool ownedByCurrentUser(const QString &path);

// The bytes a C library's file calls take for `path`: the file-name encoding on Linux,
// UTF-8 on Windows, where the spreadsheet writer opens UTF-8 names with the wide calls.
QByteArray cLibraryFileName(const QString &path);

// The user's folder for the optional files: on Linux $XDG_CONFIG_HOME/tallyclock, by
// default ~/.config/tallyclock; on Windows %APPDATA%\Tallyclock.
QString userFilesFolder();

} // namespace tallyclock
