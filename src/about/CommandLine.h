#pragma once

#include <optional>

namespace tallyclock {

// "--help" and "--version" print to standard output and end the program with 0,
// without a display; the result is then the exit code. Every other argument is
// ignored (a desktop that passes a file name changes nothing), and the result is
// empty: the program starts.
std::optional<int> handleInformationOptions(int argc, char *argv[]);

// The program's version, as "--version" prints it.
const char *programVersion();

} // namespace tallyclock
