#include "ResultActions.h"

#include "Clipboard.h"
#include "SpreadsheetExport.h"
#include "resultactions/ClearResults.h"

namespace tallyclock {

ResultActions::ResultActions(Desktop &desktop, ResultsList &results, PointerSetting &pointer,
    ExportActivity &exports, const QString &applicationTitle)
    : m_desktop(desktop)
    , m_results(results)
    , m_pointer(pointer)
    , m_exports(exports)
    , m_applicationTitle(applicationTitle)
    , m_textFile(desktop, results, pointer, exports, applicationTitle)
{ }

void ResultActions::PushButton3_Click()
{
    tallyclock::PushButton3_Click(m_desktop, m_results, m_pointer, m_exports);
}

void ResultActions::PushButton4_Click()
{
    m_textFile.PushButton4_Click();
}

void ResultActions::PushButton6_Click()
{
    tallyclock::PushButton6_Click(m_desktop, m_results, m_applicationTitle);
}

void ResultActions::PushButton13_Click()
{
    tallyclock::PushButton13_Click(m_desktop, m_results, m_pointer, m_exports, m_applicationTitle);
}

} // namespace tallyclock
