#include "WorkbookPlaces.h"

#include "core/Failure.h"
#include "system/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace tallyclock {

namespace {

const QString templatePrefix = QStringLiteral("tallyclock-");

Failure cannotMake(const QString &folder, const QString &reason)
{
    return failures::fileAccess(
        QStringLiteral("cannot make ") + QDir::toNativeSeparators(folder), reason);
}

} // namespace

WorkbookFile newTemplateWorkbook(const QString &temporaryFolder)
{
    QTemporaryDir dir(QDir(temporaryFolder).filePath(templatePrefix + QStringLiteral("XXXXXX")));
    if (!dir.isValid())
        throw cannotMake(temporaryFolder, dir.errorString());
    // The program still reads the file when Tallyclock ends; a later run removes it.
    dir.setAutoRemove(false);
    const QString path = dir.filePath(QStringLiteral("Results.xlsx"));
    return {path, path, dir.path()};
}

WorkbookFile newKeptWorkbook(const QString &documentsFolder, const QDateTime &now)
{
    if (documentsFolder.isEmpty())
        throw cannotMake(QStringLiteral("the documents folder"), QString());
    const QString folder = QDir(documentsFolder).filePath(QStringLiteral("Tallyclock"));
    if (!QDir().mkpath(folder))
        throw cannotMake(folder, QString());
    const QString base = QStringLiteral("Results ") + now.toString(u"yyyy-MM-dd hh.mm.ss");
    QString path = QDir(folder).filePath(base + QStringLiteral(".xlsx"));
    // Created only when no file of the name exists (nor a link, even a broken one).
    QFile reserved(path);
    for (int n = 2; !reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly); ++n) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            throw cannotMake(path, reserved.errorString());
        path = QDir(folder).filePath(base + QStringLiteral(" (%1).xlsx").arg(n));
        reserved.setFileName(path);
    }
    reserved.close();
    QTemporaryDir scratch(QDir(folder).filePath(QStringLiteral(".tallyclock-XXXXXX")));
    if (!scratch.isValid()) {
        QFile::remove(path);
        throw cannotMake(folder, scratch.errorString());
    }
    scratch.setAutoRemove(false);
    return {path, scratch.filePath(QStringLiteral("Results.xlsx")), scratch.path()};
}

void completeWorkbook(const WorkbookFile &file)
{
    if (file.writePath == file.path)
        return;
    std::error_code error;
    // Replaces the reserved empty file in one step.
    std::filesystem::rename(file.writePath.toStdU16String(), file.path.toStdU16String(), error);
    if (error)
        throw failures::fileAccess(
            QStringLiteral("cannot write ") + QDir::toNativeSeparators(file.path),
            QString::fromStdString(error.message()));
    QDir().rmdir(file.folder);
}

void discardWorkbook(const WorkbookFile &file)
{
    // A writer may create its file between the removal of the contents and of the
    // folder; then the folder is still there and goes on the next pass.
    for (int pass = 0; pass < 10 && QFileInfo::exists(file.folder); ++pass)
        QDir(file.folder).removeRecursively();
    if (file.path != file.writePath) {
        const QFileInfo reserved(file.path);
        if (reserved.isFile() && !reserved.isSymLink() && reserved.size() == 0)
            QFile::remove(file.path);
    }
}

int removeStaleTemplateWorkbooks(const QString &temporaryFolder, const QDateTime &now)
{
    static const QRegularExpression name(QStringLiteral("^tallyclock-[A-Za-z0-9]{6}$"));
    const QDateTime dayAgo = now.addDays(-1);
    int removed = 0;
    const QFileInfoList folders = QDir(temporaryFolder)
                                      .entryInfoList({templatePrefix + QLatin1Char('*')},
                                          QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        if (!name.match(folder.fileName()).hasMatch() || !ownedByCurrentUser(folder.filePath())
            || folder.lastModified() > dayAgo)
            continue;
        const QFileInfoList files = QDir(folder.filePath())
                                        .entryInfoList(QDir::AllEntries | QDir::System
                                            | QDir::Hidden | QDir::NoDotAndDotDot);
        const bool onlyOldWorkbooks = std::all_of(files.cbegin(), files.cend(), [&](const auto &f) {
            return f.isFile() && !f.isSymLink() && f.suffix() == QLatin1String("xlsx")
                && f.lastModified() <= dayAgo;
        });
        if (!onlyOldWorkbooks)
            continue;
        for (const QFileInfo &file : files)
            QFile::remove(file.filePath());
        if (QDir().rmdir(folder.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace tallyclock
