#include "BoxText.h"

namespace tallyclock {

QString boxText(const QString &text)
{
    return text;
}

} // namespace tallyclock
