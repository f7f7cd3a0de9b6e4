#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace tallyclock {

// Puts at `path` what a table row describes: "<folder>" a folder, "<fifo>" a named pipe
// and "<link:TARGET>" a symbolic link (both on Unix), anything else a file with those
// bytes. Returns false on failure.
inline bool makeHostileFile(const QString &path, const QByteArray &what)
{
    QFile::remove(path);
    if (what == "<folder>")
        return QDir().mkpath(path);
#if defined(Q_OS_UNIX)
    if (what == "<fifo>")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (what.startsWith("<link:") && what.endsWith('>'))
        return QFile::link(QString::fromUtf8(what.mid(6).chopped(1)), path);
#endif
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(what) == what.size();
}

} // namespace tallyclock
