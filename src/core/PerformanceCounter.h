#pragma once

#include <cstdint>

namespace tallyclock {

// The high-resolution counter: a signed 64-bit count that only grows, and its fixed
// number of counts per second.
class PerformanceCounter
{
public:
    virtual ~PerformanceCounter() = default;

    // Stores the current count into `count` and returns true; on failure returns
    // false and leaves `count` unchanged.
    virtual bool queryCounter(std::int64_t &count) = 0;

    // Stores the counts per second into `frequency` and returns true; on failure
    // returns false and leaves `frequency` unchanged. 0 means there is no counter.
    virtual bool queryFrequency(std::int64_t &frequency) = 0;
};

} // namespace tallyclock
