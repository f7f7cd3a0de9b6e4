#include "Desktop.h"

#include "Failure.h"

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

void Desktop::throwIfEnding() const
{
    if (m_ending)
        throw ProgramEnding();
}

} // namespace tallyclock
