#include "SystemCounter.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <time.h>
#else
#include <ctime>
#endif

namespace tallyclock {

#if defined(_WIN32)

bool SystemCounter::queryCounter(std::int64_t &count)
{
    LARGE_INTEGER value;
    if (!QueryPerformanceCounter(&value))
        return false;
    count = value.QuadPart;
    return true;
}

bool SystemCounter::queryFrequency(std::int64_t &frequency)
{
    LARGE_INTEGER value;
    if (!QueryPerformanceFrequency(&value))
        return false;
    frequency = value.QuadPart;
    return true;
}

#else

namespace {
constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
}

bool SystemCounter::queryCounter(std::int64_t &count)
{
#if defined(__APPLE__)
    // CLOCK_MONOTONIC counts through sleep on macOS.
    count = static_cast<std::int64_t>(clock_gettime_nsec_np(CLOCK_MONOTONIC));
    return true;
#else
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return false;
    count = static_cast<std::int64_t>(now.tv_sec) * nanosecondsPerSecond + now.tv_nsec;
    return true;
#endif
}

bool SystemCounter::queryFrequency(std::int64_t &frequency)
{
    frequency = nanosecondsPerSecond;
    return true;
}

#endif

} // namespace tallyclock
