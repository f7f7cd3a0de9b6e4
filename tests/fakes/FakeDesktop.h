#pragma once

#include "core/Desktop.h"

#include <QList>
#include <QString>

#include <functional>

namespace tallyclock {

// Records every message box and yield. OK-only boxes are answered OK; a Yes/No box
// takes the next scripted answer, and one that no test scripted fails the test.
// A yield that passes runs `onYield`, so a test can make another event happen
// mid-handler. Yields pass by the real rule, on a clock of the test's own that each
// reading moves on by `clockStepNs`: by default the quiet time, so that every yield
// passes; less, and yields close together return without a pass, as in the program.
class FakeDesktop : public Desktop
{
public:
    struct Box
    {
        QString text;
        int style;
        QString title;
    };

    QList<Box> boxes;
    QList<int> answers;
    std::function<void()> onYield;
    std::function<void(const Box &)> onBox;
    int yields = 0; // the yields that passed
    qint64 clockStepNs = yieldQuietNs;

    // Save dialog: each call takes the next scripted path ("" is a cancel).
    QStringList savePaths;
    QStringList saveDialogs; // "title|filter" of each dialog shown

    // Clipboard: the next `clipboardBusyFor` attempts fail (another program holds it).
    QString clipboard = QStringLiteral("held before");
    int clipboardBusyFor = 0;
    int clearAttempts = 0;
    int setAttempts = 0;

    // Spreadsheet program.
    bool spreadsheetAvailable = true;
    bool opensAsNewDocument = true;
    bool openSucceeds = true;
    QStringList opened;
    QString tempFolder;
    QString documents;

    bool clearClipboard() override;
    bool setClipboardText(const QString &text) override;
    bool spreadsheetProgramAvailable() override { return spreadsheetAvailable; }
    bool spreadsheetOpensAsNewDocument() override { return opensAsNewDocument; }
    bool openInSpreadsheetProgram(const QString &path) override;
    QString temporaryFolder() override { return tempFolder; }
    QString documentsFolder() override { return documents; }

    QStringList boxTexts() const;
    // Lines "location at line N" of the error reports shown, in order.
    QStringList reportLines() const;

protected:
    int showMessageBox(const QString &text, int style, const QString &title) override;
    void processPendingEvents() override;
    qint64 clockNs() override { return m_clockNs += clockStepNs; }
    QString showSaveDialog(const QString &title, const QString &filter) override;

private:
    qint64 m_clockNs = 0;
};

} // namespace tallyclock
