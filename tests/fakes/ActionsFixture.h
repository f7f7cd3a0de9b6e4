#pragma once

#include "ResultsFixture.h"
#include "fakes/FakeDesktop.h"
#include "resultactions/ExportActivity.h"
#include "resultactions/ResultActions.h"
#include "skin/PointerSetting.h"

namespace tallyclock {

// The result actions over a fake desktop and a results list of the test's own.
struct ActionsFixture
{
    FakeDesktop desktop;
    ResultsFixture results;
    PointerSetting pointer;
    ExportActivity exports;
    QString title = QStringLiteral("Tallyclock");
    ResultActions actions{desktop, results.list, pointer, exports, title};
};

} // namespace tallyclock
