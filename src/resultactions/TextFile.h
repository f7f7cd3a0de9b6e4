#pragma once

#include "system/FileSystem.h"

#include <QString>

#include <memory>
#include <optional>

class QIODevice;
class QSaveFile;

namespace tallyclock {

class Desktop;
class ExportActivity;
class PointerSetting;
class ResultsList;

// Writes one line, the text then CR LF, in the locale's 8-bit encoding. Fails when
// the device takes less than the whole line.
void writeTextLine(QIODevice &device, const QString &text);

// A text file that replaces its target only when it is complete: the lines go to a
// temporary file beside it, which takes the target's place when closed. On any
// failure the target stays exactly as it was and the temporary file is removed.
class SafeTextFile
{
public:
    SafeTextFile();
    ~SafeTextFile();

    // Fails for a target that cannot be created or is not a regular file (a folder,
    // a device, a pipe). A link to a file is followed.
    void open(const QString &path);
    bool isOpen() const;
    // Fails on the first write that does not complete; later writes do nothing.
    void writeLine(const QString &text);
    // Commits the file. Fails (and leaves the target alone) when the data did not all
    // reach the disk. Does nothing when the file was never opened or already failed.
    void close();
    // Gives the save up: the target stays as it was and the temporary file goes.
    void abandon();

private:
    std::unique_ptr<QSaveFile> m_file;
    bool m_failed = false;
    // The owner (user, group) of the file being replaced, given back after the commit.
    std::optional<FileOwner> m_owner;
};

// The save dialog's settings, kept for the window's life.
struct SaveDialogSettings
{
    int Flags = 0;
    QString DialogTitle;
    QString Filter;
    QString FileName;
};

// "Save Results As Text File": one line per entry, ticked or not.
class TextFileSave
{
public:
    TextFileSave(Desktop &desktop, const ResultsList &results, PointerSetting &pointer,
        ExportActivity &exports, const QString &applicationTitle);

    void PushButton4_Click();

    SaveDialogSettings CommonDialog1;

private:
    Desktop &m_desktop;
    const ResultsList &m_results;
    PointerSetting &m_pointer;
    ExportActivity &m_exports;
    const QString &m_applicationTitle;
    // A click while a save is writing is ignored.
    bool m_writing = false;
};

} // namespace tallyclock
