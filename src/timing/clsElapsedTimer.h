#pragma once

#include <cstdint>

namespace tallyclock {

class PerformanceCounter;

// Measures elapsed time with the performance counter, in seconds. It can be started,
// stopped (paused), resumed so that the time counted before the stop carries on, read
// while running and reset to zero. All count arithmetic is exact: a result outside
// the signed 64-bit range fails with an overflow and leaves the fields as they were
// before that step.
class clsElapsedTimer
{
public:
    // Runs Reset; a failure of it is a failure of the construction.
    explicit clsElapsedTimer(PerformanceCounter &counter);

    // Takes a reading if running and stops. Returns the seconds from the start to the
    // last stop reading. Fails (after stopping) when there is no counter frequency.
    double StopTimer();

    // Takes a reading if running. Returns the seconds from the start to the last
    // reading (while stopped, the last reading taken while running or at the start).
    double Elapsed();

    // Starts at zero, or resumes after StopTimer; does nothing while running.
    void Start();

    // Zeroes the counts, re-reads the frequency and stops.
    void Reset();

    bool IsRunning() const { return Running; }

    // Stops without a reading and keeps every count. A running timer's StopCount is 0
    // (Start zeroed it), so the next Start begins at zero instead of resuming; a stopped
    // timer is left as it was.
    void kill() { Running = false; }

    struct Fields
    {
        std::int64_t Frequency;
        std::int64_t StartCount;
        bool Running;
        std::int64_t LastReading;
        std::int64_t StopCount;
        bool operator==(const Fields &) const = default;
    };
    Fields fields() const { return {Frequency, StartCount, Running, LastReading, StopCount}; }

private:
    double secondsBetween(std::int64_t from, std::int64_t to) const;

    PerformanceCounter &m_counter;
    std::int64_t Frequency = 0;
    std::int64_t StartCount = 0;
    bool Running = false;
    std::int64_t LastReading = 0;
    std::int64_t StopCount = 0;
};

} // namespace tallyclock
