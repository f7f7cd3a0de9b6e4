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

} // namespace tallyclock
