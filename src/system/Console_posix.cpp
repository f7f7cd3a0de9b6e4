#include "Console.h"

namespace tallyclock {

void useParentConsole() { }

} // namespace tallyclock
