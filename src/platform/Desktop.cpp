#include "Desktop.h"

#include "core/Failure.h"

#include <exception>

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
    processPendingEvents();
    throwIfEnding();
}

void Desktop::runAside(const std::function<void()> &work)
{
    throwIfEnding();
    std::exception_ptr failure;
    runInWorker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    throwIfEnding();
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
