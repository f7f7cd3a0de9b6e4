#pragma once

#include <QCursor>
#include <QString>

namespace tallyclock {

// Loads a pointer image file (.cur). The hot spot comes from the file's directory
// entry and is clamped into the image. Fails ("Invalid picture") when the file is
// not a pointer image that can be read.
QCursor loadCursorFile(const QString &path);

// The same from the file's bytes.
QCursor cursorFromBytes(const QByteArray &bytes);

struct CursorHotSpot
{
    int x;
    int y;
};

// The hot spot of the first image of a .cur file's bytes; fails when the bytes do not
// start like a pointer file.
CursorHotSpot readCursorHotSpot(const QByteArray &bytes);

} // namespace tallyclock
