#pragma once

#include <QString>

namespace tallyclock {

// The text a message box is given to show `text`, whose lines end in a carriage
// return alone (as the reports and notices write them). Qt's boxes break the line there
// on Linux; on Windows they draw such a return as a space, so it becomes a line feed.
QString boxText(const QString &text);

} // namespace tallyclock
