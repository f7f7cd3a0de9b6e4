#include "system/SessionEnd.h"

#include <QCoreApplication>

namespace tallyclock {

void whenSessionEnds(std::function<void()> end)
{
    // Qt answers WM_ENDSESSION by announcing that the application is about to quit, from
    // inside the message, whatever loop runs then (a box's, or the system's file
    // dialog's); Windows ends the process once the message is answered. Announced
    // after the window has closed normally, it finds nothing left to do.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, std::move(end));
}

} // namespace tallyclock
