#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tallyclock {

// Message-box styles and answers, numbered as the program has always numbered them.
namespace MessageStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Exclamation = 48;
} // namespace MessageStyle

namespace MessageAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MessageAnswer

// What the program asks of the desktop. The public calls are fixed here: they add
// the one rule every adapter must keep, that once the program is ending no call
// returns normally to a handler (it throws ProgramEnding instead), so no further
// step of an interrupted handler runs.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Shows a modal message box and returns the button pressed (MessageAnswer).
    int messageBox(const QString &text, int style, const QString &title);

    // Lets the waiting events run to their end, then returns. A yield less than
    // yieldQuietNs after the end of the last pass of the event loop returns at once,
    // without a pass: a long export yields several times per entry, and each pass costs
    // system calls, so passes are spaced out, which keeps the window as lively at a
    // fraction of the cost. A key or click therefore runs at the next yield that passes,
    // not necessarily at the next yield. Either way, a yield once the program is ending
    // throws ProgramEnding.
    void yield();
    static constexpr qint64 yieldQuietNs = 2'000'000;

    // Runs `work` away from the window's thread while waiting events run as in a
    // yield, and returns when it is done, throwing what it threw. The work must not
    // touch the window, and owns what it uses (it captures by value). Once the program
    // is ending (before the work starts, while it runs, or as it finishes), `abandon`
    // undoes what the work leaves behind and ProgramEnding is thrown; the wait stops
    // at once, and the process ends without waiting for a work still running.
    void runAside(std::function<void()> work, const std::function<void()> &abandon = {});

    // Asks for a file name to save under. Returns the path exactly as chosen, or ""
    // when the user cancelled (never an earlier choice).
    QString saveFileName(const QString &title, const QString &filter);

    // Empties the clipboard. Returns false when the clipboard could not be had.
    virtual bool clearClipboard() = 0;
    // Puts plain text on the clipboard. Returns false when the clipboard could not be had.
    virtual bool setClipboardText(const QString &text) = 0;

    // Whether a program is installed that opens spreadsheet files.
    virtual bool spreadsheetProgramAvailable() = 0;
    // Whether that program opens a file as a new, untitled document (reading it as a
    // template), so that the file need not last. False when there is no program.
    virtual bool spreadsheetOpensAsNewDocument() = 0;
    // Opens the file in that program, as a new document where it can. Returns false
    // when it could not be started.
    virtual bool openInSpreadsheetProgram(const QString &path) = 0;
    // The folder for files that serve only until a program has read them.
    virtual QString temporaryFolder() = 0;
    // The user's documents folder, for files the user keeps.
    virtual QString documentsFolder() = 0;

    // The window is closing: from now on yields and message boxes throw ProgramEnding,
    // and every wait under way stops.
    void beginEnding()
    {
        m_ending = true;
        stopWaiting();
    }
    bool isEnding() const { return m_ending; }
    void throwIfEnding() const;

protected:
    virtual int showMessageBox(const QString &text, int style, const QString &title) = 0;
    virtual void processPendingEvents() = 0;
    // A monotonic clock in nanoseconds, read to space the passes of yields out.
    virtual qint64 clockNs();
    // Runs `work` and returns true when it is done; here in the caller's thread. An
    // adapter that runs it elsewhere returns false, without waiting further, when the
    // program is ending.
    virtual bool runInWorker(std::function<void()> work)
    {
        work();
        return true;
    }
    // The program is ending: waits under way return.
    virtual void stopWaiting() { }
    // `filter` lists "description|pattern|" pairs; returns "" on cancel.
    virtual QString showSaveDialog(const QString &title, const QString &filter) = 0;

private:
    bool m_ending = false;
    // When the last pass of a yield ended; none yet.
    std::optional<qint64> m_lastPassNs;
};

} // namespace tallyclock
