#include "system/ProcessEnd.h"

#include <cstdio>
#include <cstdlib>

namespace tallyclock {

void endProcess(int exitCode, bool workLeftRunning)
{
    if (workLeftRunning) {
        // The writer ends with the process instead of being waited for.
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    std::exit(exitCode);
}

} // namespace tallyclock
