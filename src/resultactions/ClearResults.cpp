#include "ClearResults.h"

#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "resultactions/ExportActivity.h"
#include "results/ResultsList.h"
#include "skin/PointerSetting.h"

namespace tallyclock {

void PushButton3_Click(Desktop &desktop, ResultsList &results, const PointerSetting &pointer,
    const ExportActivity &exports)
{
    TrappedHandler h(desktop, handlerLocation("PushButton3_Click"));
    if (h.test(100,
            [&] { return pointer.value() != PointerSetting::Hourglass && !exports.isRunning(); }))
        h.step(100, [&] { results.clear(); });
}

} // namespace tallyclock
