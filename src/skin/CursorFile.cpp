#include "CursorFile.h"

#include "core/Failure.h"
#include "system/OptionalFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

#include <algorithm>

namespace tallyclock {

namespace {

Failure invalidPicture()
{
    return Failure(QStringLiteral("Invalid picture"));
}

int readLittleEndian16(const QByteArray &bytes, int offset)
{
    return static_cast<unsigned char>(bytes[offset])
        | (static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

} // namespace

CursorHotSpot readCursorHotSpot(const QByteArray &bytes)
{
    // ICONDIR (reserved 0, type 2 for pointers, count) then the first 16-byte entry,
    // whose planes and bit-count fields hold the hot spot in a pointer file.
    constexpr int headerSize = 6;
    constexpr int entrySize = 16;
    if (bytes.size() < headerSize + entrySize || readLittleEndian16(bytes, 0) != 0
        || readLittleEndian16(bytes, 2) != 2 || readLittleEndian16(bytes, 4) < 1)
        throw invalidPicture();
    return {readLittleEndian16(bytes, headerSize + 4), readLittleEndian16(bytes, headerSize + 6)};
}

QCursor loadCursorFile(const QString &path)
{
    return cursorFromBytes(readOptionalFile(path, maxPointerImageBytes));
}

QCursor cursorFromBytes(const QByteArray &bytes)
{
    const CursorHotSpot hotSpot = readCursorHotSpot(bytes);

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    // Only the pointer-file reader: guessing the format would load every image-format
    // plugin, at every start.
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        throw invalidPicture();

    const int x = std::clamp(hotSpot.x, 0, image.width() - 1);
    const int y = std::clamp(hotSpot.y, 0, image.height() - 1);
    return QCursor(QPixmap::fromImage(image), x, y);
}

} // namespace tallyclock
