#include "KeyPosition.h"

namespace tallyclock {

bool isLKeyPosition(quint32 nativeScanCode, quint32)
{
    return nativeScanCode == 46; // XKB keycode of KEY_L
}

} // namespace tallyclock
