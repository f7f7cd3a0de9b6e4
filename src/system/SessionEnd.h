#pragma once

#include <functional>

namespace tallyclock {

// Calls `end` in the GUI thread's event loop when the user's session ends (logging off,
// shutting down): on Linux the signals SIGTERM and SIGHUP, on Windows the end-session
// messages. The program then ends at once, whatever box is open. Call once, with the
// application object made; a second such signal before `end` has run ends the process
// as the signal's default does.
void whenSessionEnds(std::function<void()> end);

} // namespace tallyclock
