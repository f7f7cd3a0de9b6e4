#pragma once

namespace tallyclock {

// Makes what the program prints reach the console it was started from. A Windows
// program with a window has no console of its own, so --help and --version would print
// nowhere; elsewhere the standard streams already are the terminal's.
void useParentConsole();

} // namespace tallyclock
