#include "Clipboard.h"

#include "ResultsText.h"
#include "core/Desktop.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "results/ResultsList.h"

namespace tallyclock {

namespace {

constexpr int clipboardAttempts = 1000;

template<class Attempt> void retry(Attempt &&attempt)
{
    int attempts = 0;
    bool done = false;
    do {
        done = attempt();
        ++attempts;
    } while (!done && attempts < clipboardAttempts);
}

} // namespace

void ClearClipboard(Desktop &desktop)
{
    retry([&] { return desktop.clearClipboard(); });
}

void SetClipboardText(Desktop &desktop, const QString &text)
{
    retry([&] { return desktop.setClipboardText(text); });
}

void CopyListViewToClipboard(const ResultsList &list, Desktop &desktop)
{
    if (list.itemCount() == 0)
        return;
    const QString text = ListViewToText(list, desktop);
    ClearClipboard(desktop);
    SetClipboardText(desktop, text);
}

QString clipboardConfirmation()
{
    return QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where "
                          "you normally type and press Ctrl+V to paste the clipboard.");
}

void PushButton6_Click(Desktop &desktop, const ResultsList &list, const QString &applicationTitle)
{
    TrappedHandler h(desktop, handlerLocation("PushButton6_Click"));
    h.step(106, [&] { CopyListViewToClipboard(list, desktop); });
    h.step(108, [&] {
        desktop.messageBox(clipboardConfirmation(), MessageStyle::OkOnly, applicationTitle);
    });
}

} // namespace tallyclock
