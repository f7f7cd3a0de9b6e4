#pragma once

#include <QString>

namespace tallyclock {

class Desktop;
class ResultsList;

// The ticked entries as aligned text: every cell but the last padded with blanks to
// the widest cell of its column (ticked or not), cells separated by TAB, no blanks at
// the end of a line, CR LF after every line. Yields once per cell while measuring and
// once per entry and per cell while rendering, so other events run meanwhile; fails
// when the list is cleared under it.
QString ListViewToText(const ResultsList &list, Desktop &desktop);

} // namespace tallyclock
