#pragma once

#include "core/PerformanceCounter.h"

#include <cstdint>

namespace tallyclock {

// A counter whose value the test sets. Frequency 1000 makes one count a millisecond.
class FakeCounter final : public PerformanceCounter
{
public:
    std::int64_t count = 1'000'000;
    std::int64_t frequency = 1000;
    bool counterFails = false;
    bool frequencyFails = false;
    int counterReads = 0;

    void advanceSeconds(double seconds)
    {
        count += static_cast<std::int64_t>(seconds * static_cast<double>(frequency));
    }

    bool queryCounter(std::int64_t &value) override
    {
        ++counterReads;
        if (counterFails)
            return false;
        value = count;
        return true;
    }

    bool queryFrequency(std::int64_t &value) override
    {
        if (frequencyFails)
            return false;
        value = frequency;
        return true;
    }
};

} // namespace tallyclock
