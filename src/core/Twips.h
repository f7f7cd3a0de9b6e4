#pragma once

#include <algorithm>
#include <cmath>

namespace tallyclock {

// The window is laid out in twips (1/1440 inch): 15 twips are one device-independent
// pixel at 96 dots per inch, and Qt's high-DPI scaling does the rest.
constexpr int twipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel. Every place and size of the layout
// is a multiple of 15 and stays exact; a positive length never becomes 0, so the
// hidden 1-twip column is 1 pixel wide and its divider can still be dragged.
inline int twipsToPixels(int twips)
{
    const int pixels = static_cast<int>(std::lround(twips / double(twipsPerPixel)));
    return twips > 0 ? std::max(1, pixels) : pixels;
}

} // namespace tallyclock
