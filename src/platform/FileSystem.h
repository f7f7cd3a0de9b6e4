#pragma once

#include <QString>

namespace tallyclock {

// True when an entry of that path exists (its modification time can be read).
// Never fails: an empty, malformed or unreachable path is simply false.
bool FileExists(const QString &path);

// The program's folder without a trailing separator. Folder names written with
// backslashes elsewhere ("x\o.cjs") are joined with '/'.
QString applicationFolder();

} // namespace tallyclock
