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
} // namespace failures

} // namespace tallyclock
