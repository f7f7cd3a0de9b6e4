#include "Console.h"

#include <cstdio>
#include <windows.h>

namespace tallyclock {

void useParentConsole()
{
    // Output that already goes somewhere (a pipe, a file, Wine's terminal) stays there.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE *ignored = nullptr;
        freopen_s(&ignored, "CONOUT$", "w", stdout);
        freopen_s(&ignored, "CONOUT$", "w", stderr);
    }
}

} // namespace tallyclock
