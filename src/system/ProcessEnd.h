#pragma once

namespace tallyclock {

// Ends the process with `exitCode` once the program has taken itself down: its window
// gone, its files closed, the clipboard handed over. `workLeftRunning` says that a
// workbook writer was abandoned (its files are gone already): it is not waited for.
[[noreturn]] void endProcess(int exitCode, bool workLeftRunning);

} // namespace tallyclock
