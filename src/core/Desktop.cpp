#include "Desktop.h"

#include "core/Failure.h"

#include <chrono>
#include <exception>
#include <memory>

namespace tallyclock {

int Desktop::messageBox(const QString &text, int style, const QString &title)
{
    throwIfEnding();
    const int answer = showMessageBox(text, style, title);
    throwIfEnding();
    return answer;
}

void Desktop::yield()
{
    throwIfEnding();
    if (!m_lastPassNs || clockNs() - *m_lastPassNs >= yieldQuietNs) {
        processPendingEvents();
        m_lastPassNs = clockNs();
    }
    throwIfEnding();
}

qint64 Desktop::clockNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Desktop::runAside(std::function<void()> work, const std::function<void()> &abandon)
{
    // Shared with the work: it may outlive this call when the program ends.
    auto failure = std::make_shared<std::exception_ptr>();
    const bool done = !m_ending && runInWorker([work = std::move(work), failure] {
        try {
            work();
        } catch (...) {
            *failure = std::current_exception();
        }
    });
    // Ending: what the work leaves is not used, whether it finished or not.
    if (!done || m_ending) {
        if (abandon)
            abandon();
        throw ProgramEnding();
    }
    if (*failure)
        std::rethrow_exception(*failure);
}

QString Desktop::saveFileName(const QString &title, const QString &filter)
{
    throwIfEnding();
    const QString path = showSaveDialog(title, filter);
    throwIfEnding();
    return path;
}

void Desktop::throwIfEnding() const
{
    if (m_ending)
        throw ProgramEnding();
}

} // namespace tallyclock
