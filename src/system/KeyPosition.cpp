#include "KeyPosition.h"

namespace tallyclock {

bool isLKeyPosition(
    [[maybe_unused]] quint32 nativeScanCode, [[maybe_unused]] quint32 nativeVirtualKey)
{
#if defined(Q_OS_WIN)
    return nativeVirtualKey == 0x4C; // VK_L
#else
    return nativeScanCode == 46; // XKB keycode of KEY_L, on X11 and Wayland
#endif
}

} // namespace tallyclock
