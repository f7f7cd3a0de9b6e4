#include "TextFile.h"

#include "core/Desktop.h"
#include "core/Failure.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "resultactions/ExportActivity.h"
#include "results/ResultsList.h"
#include "skin/PointerSetting.h"
#include "system/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QStringEncoder>

#include <filesystem>
#include <system_error>

namespace tallyclock {

namespace {

// Why a write failed. A write that the disk takes only in part fails without a reason
// of its own (Qt says "Unknown error"); writing the rest once more meets the failure
// itself, and with it the system's reason ("No space left on device").
QString writeFailureReason(QIODevice &device)
{
    if (auto *file = qobject_cast<QFileDevice *>(&device))
        file->flush();
    return device.errorString();
}

} // namespace

void writeTextLine(QIODevice &device, const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes = encoder(text);
    bytes.append("\r\n", 2);
    if (device.write(bytes) != bytes.size())
        throw failures::deviceIO(writeFailureReason(device));
}

SafeTextFile::SafeTextFile() = default;

SafeTextFile::~SafeTextFile()
{
    // A file that was not closed (the program ended mid-save) is discarded.
    abandon();
}

void SafeTextFile::abandon()
{
    if (m_file && m_file->isOpen())
        m_file->cancelWriting();
    m_file.reset();
}

void SafeTextFile::open(const QString &path)
{
    // A path the file system refuses to resolve (a loop of links, a folder that cannot
    // be searched) fails here, before anything is written or any link replaced. A
    // missing entry is a new file.
    std::error_code error;
    const auto status = std::filesystem::status(path.toStdU16String(), error);
    if (error && status.type() != std::filesystem::file_type::not_found)
        throw failures::fileAccess(
            QDir::toNativeSeparators(path), QString::fromStdString(error.message()));

    QString target = path;
    const QFileInfo chosen(path);
    if (chosen.isSymLink()) {
        const QString resolved = chosen.canonicalFilePath();
        target = resolved.isEmpty() ? chosen.symLinkTarget() : resolved;
    }
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        throw failures::fileAccess(
            QDir::toNativeSeparators(path) + QStringLiteral(" is not a regular file"));

    // The replacement is a new file: it gets the old one's mode from Qt, and its owner
    // from close(), so that root saving over a user's file leaves it the user's.
    m_owner = info.exists() ? fileOwner(target) : std::nullopt;
    auto file = std::make_unique<QSaveFile>(target);
    // Never written in place: a file in a folder that refuses new files, where no
    // temporary file can stand beside it, is not opened at all, since a full disk or an
    // end in the middle of writing it in place would leave neither its old content nor
    // the new.
    if (!file->open(QIODevice::WriteOnly))
        throw failures::fileAccess(file->errorString());
    m_file = std::move(file);
    m_failed = false;
}

bool SafeTextFile::isOpen() const
{
    return m_file && m_file->isOpen();
}

void SafeTextFile::writeLine(const QString &text)
{
    if (!isOpen() || m_failed)
        return;
    try {
        writeTextLine(*m_file, text);
    } catch (const Failure &) {
        m_failed = true;
        abandon();
        throw;
    }
}

void SafeTextFile::close()
{
    if (!isOpen() || m_failed)
        return;
    // Small files are written only by this flush; commit() alone would not report
    // its failure and would leave the target truncated on a full disk.
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError) {
        const QString reason = writeFailureReason(*m_file);
        m_failed = true;
        abandon();
        throw failures::deviceIO(reason);
    }
    const QString target = m_file->fileName();
    if (!m_file->commit()) {
        const QString reason = m_file->errorString();
        m_failed = true;
        m_file.reset();
        throw failures::deviceIO(reason);
    }
    m_file.reset();
    if (m_owner)
        restoreFileOwner(target, *m_owner);
}

TextFileSave::TextFileSave(Desktop &desktop, const ResultsList &results, PointerSetting &pointer,
    ExportActivity &exports, const QString &applicationTitle)
    : m_desktop(desktop)
    , m_results(results)
    , m_pointer(pointer)
    , m_exports(exports)
    , m_applicationTitle(applicationTitle)
{ }

void TextFileSave::PushButton4_Click()
{
    if (m_writing)
        return;

    TrappedHandler h(m_desktop, handlerLocation("PushButton4_Click"));
    QString path;
    int answer = 0;

    h.step(108, [&] { CommonDialog1.Flags = 2621953; });
    h.step(110, [&] { CommonDialog1.DialogTitle = QStringLiteral("Save"); });
    h.step(112, [&] {
        CommonDialog1.Filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    });
    h.step(114, [&] {
        // A cancel reports "", never the file chosen last time.
        CommonDialog1.FileName
            = m_desktop.saveFileName(CommonDialog1.DialogTitle, CommonDialog1.Filter);
    });
    h.step(116, [&] { path = CommonDialog1.FileName; });
    if (h.test(118, [&] { return path.isEmpty(); }))
        return;
    if (h.test(120, [&] { return FileExists(path); })) {
        h.step(122, [&] {
            answer = m_desktop.messageBox(QStringLiteral("Are you sure you wish to overwrite ")
                    + QDir::toNativeSeparators(path) + QStringLiteral(" ?"),
                MessageStyle::YesNo, m_applicationTitle);
        });
    } else {
        h.step(124, [&] { answer = MessageAnswer::Yes; });
    }
    if (h.test(126, [&] { return answer != MessageAnswer::Yes; }))
        return;

    const QScopedValueRollback writing(m_writing, true);
    ExportActivity::Scope busy(m_exports);

    SafeTextFile file;
    h.step(128, [&] { m_pointer.set(PointerSetting::Hourglass); });
    h.step(130, [&] { file.open(path); });
    // A file that could not be opened was reported once; there is nothing to write.
    // The first line that cannot be written gives the whole save up, so a half-written
    // file never replaces the old one and one report stands for it.
    if (file.isOpen()) {
        h.forLoop(
            132, [&] { return m_results.itemCount(); },
            [&](int i) {
                h.step(134, [&] { m_desktop.yield(); });
                if (file.isOpen()
                    && !h.step(136, [&] { file.writeLine(m_results.item(i).Text()); }))
                    file.abandon();
            });
    }
    h.step(140, [&] { file.close(); });
    h.step(142, [&] { m_pointer.set(PointerSetting::Arrow); });
}

} // namespace tallyclock
