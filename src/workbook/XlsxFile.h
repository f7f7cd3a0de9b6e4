#pragma once

#include <QString>

namespace tallyclock {

class SpreadsheetSheet;

// Writes the sheet as an .xlsx workbook. Numbers are written the same whatever the
// user's locale. A failed write leaves no file behind and fails.
void writeXlsx(const QString &path, const SpreadsheetSheet &sheet);

} // namespace tallyclock
