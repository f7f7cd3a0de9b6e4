#pragma once

namespace tallyclock {

class Desktop;
class ExportActivity;
class PointerSetting;
class ResultsList;

// "Clear Results": empties the list unless the window is busy (the hourglass) or an
// export is reading the list.
void PushButton3_Click(Desktop &desktop, ResultsList &results, const PointerSetting &pointer,
    const ExportActivity &exports);

} // namespace tallyclock
