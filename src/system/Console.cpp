#include "Console.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <cstdio>
#include <windows.h>
#endif

namespace tallyclock {

void useParentConsole()
{
#if defined(Q_OS_WIN)
    // Output that already goes somewhere (a pipe, a file, Wine's terminal) stays there.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE *ignored = nullptr;
        freopen_s(&ignored, "CONOUT$", "w", stdout);
        freopen_s(&ignored, "CONOUT$", "w", stderr);
    }
#endif
}

} // namespace tallyclock
