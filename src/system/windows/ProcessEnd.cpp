#include "system/ProcessEnd.h"

#include <cstdio>

#include <windows.h>

namespace tallyclock {

void endProcess(int exitCode, bool)
{
    // The usual ending (ExitProcess, also from exit() and _Exit()) first ends every other
    // thread wherever it stands and then runs each library's detach routine. There the
    // C++ run-time's (libstdc++-6.dll, on MinGW-w64's POSIX threads) sometimes waits
    // without end: the process is left without a window, its one thread waiting inside
    // that routine, in a few closes of every ten under Wine, most often after a save
    // (whose system dialog starts and ends threads of its own). By now nothing is left
    // to finish, so the process ends here without those routines.
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    // Not reached; kept for the compiler, which cannot know it.
    ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace tallyclock
