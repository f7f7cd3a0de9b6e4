#pragma once

#include <QString>

namespace tallyclock {

class Desktop;
class ResultsList;

// Each tries up to 1000 times without waiting (another program may hold the
// clipboard) and then gives up silently.
void ClearClipboard(Desktop &desktop);
void SetClipboardText(Desktop &desktop, const QString &text);

// Puts the ticked entries on the clipboard as aligned text; an empty list leaves the
// clipboard alone. Fails when the list is cleared while it is being rendered.
void CopyListViewToClipboard(const ResultsList &list, Desktop &desktop);

// "Copy Results To Clipboard": copies, then says how to paste.
void PushButton6_Click(Desktop &desktop, const ResultsList &list, const QString &applicationTitle);

QString clipboardConfirmation();

} // namespace tallyclock
