#pragma once

#include <QString>

namespace tallyclock {

// Elapsed seconds as the display shows them ("####0.000"): three decimals, a point
// whatever the locale, no grouping, at least one digit before the point, a minus
// sign for negatives and never minutes. The value is first taken to 15 significant
// digits and then rounded half away from zero, so 1.2345 shows as 1.235 although
// its nearest double lies a hair below. A value that rounds to zero shows "0.000".
QString formatDisplay(double seconds);

} // namespace tallyclock
