#include "FakeDesktop.h"

#include <QTest>

namespace tallyclock {

QStringList FakeDesktop::boxTexts() const
{
    QStringList texts;
    for (const Box &box : boxes)
        texts << box.text;
    return texts;
}

QStringList FakeDesktop::reportLines() const
{
    QStringList lines;
    for (const Box &box : boxes) {
        if (box.title != QLatin1String("Application Error"))
            continue;
        const qsizetype from = box.text.indexOf(QLatin1String("\r\n")) + 2;
        const qsizetype to = box.text.indexOf(QLatin1Char('\r'), from);
        lines << box.text.mid(from, to - from);
    }
    return lines;
}

int FakeDesktop::showMessageBox(const QString &text, int style, const QString &title)
{
    boxes.append({text, style, title});
    if (onBox)
        onBox(boxes.constLast());
    if ((style & 0x0F) == MessageStyle::OkOnly)
        return MessageAnswer::Ok;
    if (answers.isEmpty()) {
        QTest::qFail("a question was asked that the test did not script", __FILE__, __LINE__);
        return MessageAnswer::No;
    }
    return answers.takeFirst();
}

void FakeDesktop::processPendingEvents()
{
    ++yields;
    if (onYield)
        onYield();
}

QString FakeDesktop::showSaveDialog(const QString &title, const QString &filter)
{
    saveDialogs << title + QLatin1Char('|') + filter;
    if (savePaths.isEmpty()) {
        QTest::qFail("a save dialog was shown that the test did not script", __FILE__, __LINE__);
        return QString();
    }
    return savePaths.takeFirst();
}

bool FakeDesktop::clearClipboard()
{
    ++clearAttempts;
    if (clipboardBusyFor > 0) {
        --clipboardBusyFor;
        return false;
    }
    clipboard.clear();
    return true;
}

bool FakeDesktop::setClipboardText(const QString &text)
{
    ++setAttempts;
    if (clipboardBusyFor > 0) {
        --clipboardBusyFor;
        return false;
    }
    clipboard = text;
    return true;
}

bool FakeDesktop::openInSpreadsheetProgram(const QString &path)
{
    opened << path;
    return openSucceeds;
}

} // namespace tallyclock
