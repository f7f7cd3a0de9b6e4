#include "system/OptionalFile.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyclock {

using optionalfile::cannotRead;

QByteArray readOptionalFile(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    // The kind is checked on what was opened, not on the name, which may change.
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        throw cannotRead(path, QStringLiteral("not a regular file"));
    if (info.st_size > maxBytes)
        throw optionalfile::tooLarge(path, maxBytes);
    return optionalfile::readAtMost(path, info.st_size, maxBytes, [&](char *buffer, qint64 room) {
        for (;;) {
            const ssize_t got = ::read(fd, buffer, static_cast<size_t>(room));
            if (got >= 0)
                return static_cast<qint64>(got);
            if (errno != EINTR)
                throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
    });
}

} // namespace tallyclock
