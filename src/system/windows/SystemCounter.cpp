#include "system/SystemCounter.h"

#include <windows.h>

namespace tallyclock {

// The performance counter keeps counting while the computer sleeps, as a stopwatch
// must, and its frequency is fixed at boot.
bool SystemCounter::queryCounter(std::int64_t &count)
{
    LARGE_INTEGER now;
    if (!QueryPerformanceCounter(&now))
        return false;
    count = now.QuadPart;
    return true;
}

bool SystemCounter::queryFrequency(std::int64_t &frequency)
{
    LARGE_INTEGER perSecond;
    if (!QueryPerformanceFrequency(&perSecond))
        return false;
    frequency = perSecond.QuadPart;
    return true;
}

} // namespace tallyclock
