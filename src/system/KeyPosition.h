#pragma once

#include <QtGlobal>

namespace tallyclock {

// Whether a key event's native codes name the key where L sits on a US keyboard,
// whatever the layout: the virtual key on Windows, the XKB keycode on X11 and Wayland.
bool isLKeyPosition(quint32 nativeScanCode, quint32 nativeVirtualKey);

} // namespace tallyclock
