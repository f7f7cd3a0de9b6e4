#pragma once

#include <functional>

class QWidget;

namespace tallyclock {

// Runs `work` once, as soon as `window` has been painted for the first time (after
// that paint has reached the screen), or after a second if it has not been painted by
// then (a window started minimised). Start-up work that the first paint does not need
// waits for it here.
void afterFirstPaint(QWidget &window, std::function<void()> work);

} // namespace tallyclock
