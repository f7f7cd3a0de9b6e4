#pragma once

#include <QByteArray>
#include <QString>

#include "core/Failure.h"

#include <functional>

namespace tallyclock {

// The largest optional files the program reads: a pointer image (a 256x256 pointer at
// 32 bits is about 260 KiB) and a skin (the sample skins are about 1 KiB).
constexpr qint64 maxPointerImageBytes = 1024 * 1024;
constexpr qint64 maxSkinBytes = 256 * 1024;

// The whole content of an optional file that anybody may have put beside the
// program. It never blocks and never reads more than `maxBytes`: the file is opened
// without waiting (a FIFO does not hang the start), and anything that is not a
// regular file once open (a folder, FIFO, device, or a link to one) fails, as does a
// file larger than `maxBytes`.
QByteArray readOptionalFile(const QString &path, qint64 maxBytes);

// What every platform's readOptionalFile shares.
namespace optionalfile {
Failure cannotRead(const QString &path, const QString &reason);
Failure tooLarge(const QString &path, qint64 maxBytes);
// The content `read` gives (the bytes it put in the buffer, 0 at the end; it throws on
// an error), starting with room for `size` bytes: the file may grow while it is read,
// and never more than `maxBytes` is taken.
QByteArray readAtMost(const QString &path, qint64 size, qint64 maxBytes,
    const std::function<qint64(char *buffer, qint64 room)> &read);
} // namespace optionalfile

} // namespace tallyclock
