#pragma once

#include "core/Desktop.h"
#include "system/SpreadsheetProgram.h"

#include <QFuture>
#include <QList>
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>

class QDialog;
class QEventLoop;
class QFileDialog;
class QThreadPool;
class QWidget;

namespace tallyclock {

// Sets up a save dialog: title, filters from "description|pattern|" pairs, no question
// before replacing a file. A "*.*" filter lists every file, names without a dot too.
void setUpSaveDialog(QFileDialog &dialog, const QString &title, const QString &filter);

// The desktop as the real program sees it: Qt's message boxes and event loop.
class QtDesktop : public Desktop
{
public:
    QtDesktop();
    // Ends the look-up's child process at once.
    ~QtDesktop() override;
    QtDesktop(const QtDesktop &) = delete;
    QtDesktop &operator=(const QtDesktop &) = delete;

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

    // Whether work run aside was still running when the program ended. It is left to
    // end with the process: its thread is not waited for.
    bool hasAbandonedWork() const { return m_abandoned; }

protected:
    int showMessageBox(const QString &text, int style, const QString &title) override;
    void processPendingEvents() override;
    bool runInWorker(std::function<void()> work) override;
    void stopWaiting() override;
    QString showSaveDialog(const QString &title, const QString &filter) override;

private:
    // The desktop's program for .xlsx files, or none.
    std::optional<SpreadsheetLaunch> spreadsheetProgram();
    // Runs the event loop until `future` has finished, as a yield does. False when it
    // stopped because the program is ending.
    template<typename T> bool waitFor(QFuture<T> future);
    // Shows the dialog modal over the window and waits until it is answered. False
    // when it stopped because the program is ending.
    bool execDialog(QDialog &dialog);

    QPointer<QWidget> m_window;
    std::optional<SpreadsheetLaunch> m_spreadsheet;
    // The look-up under way, or ended with its answer not yet taken; a new look-up
    // starts a new generation.
    QFuture<std::optional<SpreadsheetLaunch>> m_lookup;
    bool m_looking = false;
    quint64 m_lookupGeneration = 0;
    // Tells the look-up to end its child process and give up.
    std::shared_ptr<std::atomic_bool> m_stopLookup;
    // The threads of work run aside: not the global pool, which the application waits
    // for when it ends.
    QThreadPool *m_asidePool;
    bool m_abandoned = false;
    // The event loops of the waits under way, and the dialogs open, innermost last.
    QList<QEventLoop *> m_waits;
    QList<QPointer<QDialog>> m_dialogs;
    // The path the save dialog last returned.
    QString m_lastSavePath;
    int m_yieldNesting = 0;
};

} // namespace tallyclock
