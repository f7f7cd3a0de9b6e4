#pragma once

#include "Desktop.h"
#include "SpreadsheetProgram.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QPointer>

#include <optional>

class QFileDialog;
class QWidget;

namespace tallyclock {

// Sets up a save dialog: title, filters from "description|pattern|" pairs, no question
// before replacing a file. A "*.*" filter lists every file, names without a dot too.
void setUpSaveDialog(QFileDialog &dialog, const QString &title, const QString &filter);

// The desktop as the real program sees it: Qt's message boxes and event loop.
class QtDesktop : public Desktop
{
public:
    // Message boxes are parented to `window` while it exists.
    void setWindow(QWidget *window) { m_window = window; }

    // Starts looking for the desktop's spreadsheet program in the background, so that
    // the first export finds the answer ready.
    void lookForSpreadsheetProgram();

    bool clearClipboard() override;
    bool setClipboardText(const QString &text) override;
    bool spreadsheetProgramAvailable() override;
    bool spreadsheetOpensAsNewDocument() override;
    bool openInSpreadsheetProgram(const QString &path) override;
    QString temporaryFolder() override;
    QString documentsFolder() override;

protected:
    int showMessageBox(const QString &text, int style, const QString &title) override;
    void processPendingEvents() override;
    void runInWorker(const std::function<void()> &work) override;
    QString showSaveDialog(const QString &title, const QString &filter) override;

private:
    // The desktop's program for .xlsx files, or none.
    const std::optional<SpreadsheetLaunch> &spreadsheetProgram();

    QPointer<QWidget> m_window;
    std::optional<SpreadsheetLaunch> m_spreadsheet;
    // The lookup under way, or ended with its answer not yet taken.
    QFuture<std::optional<SpreadsheetLaunch>> m_lookup;
    bool m_looking = false;
    int m_yieldNesting = 0;
    QElapsedTimer m_sinceYield;
};

} // namespace tallyclock
