#include "OptionalFile.h"

#include "core/Failure.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyclock {

namespace {

Failure cannotRead(const QString &path, const QString &reason)
{
    return Failure(
        QStringLiteral("Path/File access error: ") + path + QStringLiteral(": ") + reason);
}

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QByteArray readOptionalFile(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    // The kind is checked on what was opened, not on the name, which may change.
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0)
        throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        throw cannotRead(path, QStringLiteral("not a regular file"));
    if (info.st_size > maxBytes)
        throw cannotRead(path, QStringLiteral("larger than %1 KiB").arg(maxBytes / 1024));

    // The file may grow while it is read: never take more than the limit.
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(info.st_size, maxBytes) + 1), '\0');
    qsizetype total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes)
                throw cannotRead(path, QStringLiteral("larger than %1 KiB").arg(maxBytes / 1024));
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + total, bytes.size() - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxBytes)
        throw cannotRead(path, QStringLiteral("larger than %1 KiB").arg(maxBytes / 1024));
    bytes.truncate(total);
    return bytes;
}

} // namespace tallyclock
