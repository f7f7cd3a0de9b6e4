#include "KeyPosition.h"

namespace tallyclock {

bool isLKeyPosition(quint32, quint32 nativeVirtualKey)
{
    return nativeVirtualKey == 0x4C; // VK_L
}

} // namespace tallyclock
