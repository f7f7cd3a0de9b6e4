#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <zlib.h>

namespace tallyclock {

// One member of a zip file (a workbook), stored or deflated, or empty when the file or
// the member cannot be read. Enough for the files the spreadsheet writer makes: the
// sizes are taken from the central directory, so a streamed member reads too.
inline QByteArray zipMember(const QString &zip, const QString &member)
{
    QFile file(zip);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    auto u16 = [&](qsizetype at) {
        return at + 2 <= bytes.size() ? quint32(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8)
                                      : 0u;
    };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return {};
    const QByteArray name = member.toUtf8();
    qsizetype entry = u32(end + 16);
    for (quint32 i = 0; i < u16(end + 10) && u32(entry) == 0x02014b50; ++i) {
        const quint32 nameLength = u16(entry + 28);
        const qsizetype next = entry + 46 + nameLength + u16(entry + 30) + u16(entry + 32);
        if (bytes.mid(entry + 46, nameLength) != name) {
            entry = next;
            continue;
        }
        const quint32 method = u16(entry + 10);
        const quint32 packed = u32(entry + 20);
        const quint32 size = u32(entry + 24);
        const qsizetype local = u32(entry + 42);
        const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
        if (method == 0)
            return bytes.mid(data, size);
        if (method != 8 || data + packed > bytes.size())
            return {};
        QByteArray out(qsizetype(size), '\0');
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return {};
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData() + data));
        stream.avail_in = packed;
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = size;
        const int result = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        return result == Z_STREAM_END ? out : QByteArray();
    }
    return {};
}

} // namespace tallyclock
