#pragma once

namespace tallyclock {

class Desktop;
class PointerSetting;
class ResultsList;

// "Clear Results": empties the list unless the window is busy (the hourglass).
void PushButton3_Click(Desktop &desktop, ResultsList &results, const PointerSetting &pointer);

} // namespace tallyclock
