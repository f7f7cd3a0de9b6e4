#include "TrappedHandler.h"

#include "ErrorReport.h"
#include "core/Desktop.h"

#include <QDebug>

namespace tallyclock {

TrappedHandler::TrappedHandler(Desktop &desktop, QString location)
    : m_desktop(desktop)
    , m_location(std::move(location))
{ }

void TrappedHandler::enter(int line)
{
    // Once the window is closing, no further step of any handler runs.
    m_desktop.throwIfEnding();
    m_line = line;
}

void TrappedHandler::absorb(std::exception_ptr failure)
{
    QString description;
    try {
        std::rethrow_exception(failure);
    } catch (const ProgramEnding &) {
        throw;
    } catch (const Failure &f) {
        description = f.description();
    } catch (const std::bad_alloc &) {
        description = QStringLiteral("Out of memory");
    } catch (const std::exception &e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("Unexpected failure");
    }
    showErrorReport(m_desktop, description, m_location, m_line);
}

void guardedSlotFailure(std::exception_ptr failure) noexcept
{
    try {
        std::rethrow_exception(failure);
    } catch (const ProgramEnding &) {
        // The window is closing; the event loop ends the program.
    } catch (const std::exception &e) {
        qWarning("Tallyclock: unhandled failure in an event handler: %s", e.what());
    } catch (...) {
        qWarning("Tallyclock: unhandled failure in an event handler");
    }
}

} // namespace tallyclock
