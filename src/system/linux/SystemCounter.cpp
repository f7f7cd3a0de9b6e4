#include "system/SystemCounter.h"

#include <ctime>

namespace tallyclock {

namespace {
constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
}

// CLOCK_BOOTTIME keeps counting while the computer sleeps, as a stopwatch must
// (CLOCK_MONOTONIC, steady_clock and QElapsedTimer stop).
bool SystemCounter::queryCounter(std::int64_t &count)
{
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return false;
    count = static_cast<std::int64_t>(now.tv_sec) * nanosecondsPerSecond + now.tv_nsec;
    return true;
}

bool SystemCounter::queryFrequency(std::int64_t &frequency)
{
    frequency = nanosecondsPerSecond;
    return true;
}

} // namespace tallyclock
