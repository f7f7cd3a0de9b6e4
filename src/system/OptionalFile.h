#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace tallyclock
