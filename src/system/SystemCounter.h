#pragma once

#include "core/PerformanceCounter.h"

namespace tallyclock {

// The platform's clock that keeps counting while the computer sleeps (a stopwatch
// left running over a suspend must include the suspended time).
class SystemCounter final : public PerformanceCounter
{
public:
    bool queryCounter(std::int64_t &count) override;
    bool queryFrequency(std::int64_t &frequency) override;
};

} // namespace tallyclock
