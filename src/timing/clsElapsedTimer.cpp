#include "clsElapsedTimer.h"

#include "core/Failure.h"
#include "core/PerformanceCounter.h"

#include <QtNumeric>

namespace tallyclock {

namespace {

std::int64_t checkedSub(std::int64_t a, std::int64_t b)
{
    qint64 result = 0;
    if (qSubOverflow(qint64(a), qint64(b), &result))
        throw failures::overflow();
    return result;
}

std::int64_t checkedAdd(std::int64_t a, std::int64_t b)
{
    qint64 result = 0;
    if (qAddOverflow(qint64(a), qint64(b), &result))
        throw failures::overflow();
    return result;
}

} // namespace

clsElapsedTimer::clsElapsedTimer(PerformanceCounter &counter)
    : m_counter(counter)
{
    Reset();
}

double clsElapsedTimer::secondsBetween(std::int64_t from, std::int64_t to) const
{
    const std::int64_t difference = checkedSub(to, from);
    if (Frequency == 0) {
        // 0 / 0 has no value at all; anything else over 0 is a division by zero.
        throw difference == 0 ? failures::overflow() : failures::divisionByZero();
    }
    return static_cast<double>(difference) / static_cast<double>(Frequency);
}

double clsElapsedTimer::StopTimer()
{
    if (Running)
        m_counter.queryCounter(StopCount);
    Running = false;
    return secondsBetween(StartCount, StopCount);
}

double clsElapsedTimer::Elapsed()
{
    if (Running)
        m_counter.queryCounter(LastReading);
    return secondsBetween(StartCount, LastReading);
}

void clsElapsedTimer::Start()
{
    if (Running)
        return;
    // A StopTimer since the last Start: carry the counts measured before it.
    if (StopCount > 0)
        StopCount = checkedSub(StartCount, StopCount);
    std::int64_t now = StartCount;
    m_counter.queryCounter(now);
    StartCount = now;
    // A stop that comes before any refresh repeats the time at this start, not a
    // reading left over from an earlier measurement.
    LastReading = now;
    StartCount = checkedAdd(StartCount, StopCount);
    StopCount = 0;
    Running = true;
}

void clsElapsedTimer::Reset()
{
    StartCount = 0;
    LastReading = 0;
    StopCount = 0;
    m_counter.queryFrequency(Frequency);
    Running = false;
}

} // namespace tallyclock
