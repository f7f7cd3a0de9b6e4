#pragma once

#include <QString>

#include <exception>

namespace tallyclock {

// A failed operation. Trapped handlers catch it, report its description and go on
// with their next step; nothing else in the program needs to know what kind it was.
class Failure : public std::exception
{
public:
    explicit Failure(QString description)
        : m_description(std::move(description))
        , m_utf8(m_description.toUtf8())
    { }

    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// Thrown from a yield (or after a modal box) once the main window is closing. It is
// not a failure: trapped handlers let it pass without a report, and the slot that
// started the handler swallows it, so the event loop can end the program.
class ProgramEnding : public std::exception
{
public:
    const char *what() const noexcept override { return "the program is ending"; }
};

namespace failures {
inline Failure overflow()
{
    return Failure(QStringLiteral("Overflow"));
}
inline Failure divisionByZero()
{
    return Failure(QStringLiteral("Division by zero"));
}
inline Failure objectNotSet()
{
    return Failure(QStringLiteral("Object variable or With block variable not set"));
}
inline Failure invalidIndex()
{
    return Failure(QStringLiteral("Index out of bounds"));
}
// A file or folder that cannot be found, made, opened, read or replaced: `what` names
// it (with the system's separators), and `reason` is the system's word, left out when
// there is none.
inline Failure fileAccess(const QString &what, const QString &reason = QString())
{
    return Failure(QStringLiteral("Path/File access error: ") + what
        + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
}
// A write that the device did not take whole, with the system's reason when it gave one.
inline Failure deviceIO(const QString &reason)
{
    return Failure(QStringLiteral("Device I/O error")
        + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
}
} // namespace failures

} // namespace tallyclock
