#pragma once

#include <QString>

namespace tallyclock {

class Desktop;
class ExportActivity;
class PointerSetting;
class ResultsList;

// "Save Results As Excel File": a header row, then one row per list position with
// the ticked entries' words (the time taken out) and times; unticked entries leave
// their row empty. The workbook opens in the desktop's spreadsheet program.
void PushButton13_Click(Desktop &desktop, const ResultsList &results, PointerSetting &pointer,
    ExportActivity &exports, const QString &applicationTitle);

// `text` with every occurrence of `search` taken out, left to right, without
// overlap; an empty `search` takes out nothing.
QString removeAll(QString text, const QString &search);

} // namespace tallyclock
