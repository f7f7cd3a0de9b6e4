#include "FileSystem.h"

namespace tallyclock {

bool isSystemFile(const QString &)
{
    return false;
}

} // namespace tallyclock
