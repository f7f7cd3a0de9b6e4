#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace tallyclock {

// Puts at `path` what a table row describes: "<fifo>" a named pipe, "<link:TARGET>" a
// symbolic link, anything else a file with those bytes. Returns false on failure.
inline bool makeHostileFile(const QString &path, const QByteArray &what)
{
    QFile::remove(path);
    if (what == "<fifo>")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (what.startsWith("<link:") && what.endsWith('>'))
        return QFile::link(QString::fromUtf8(what.mid(6).chopped(1)), path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(what) == what.size();
}

} // namespace tallyclock
