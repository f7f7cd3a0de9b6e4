#include "system/SpreadsheetProgram.h"

#include "system/DesktopEntry.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <signal.h>
#include <unistd.h>

namespace tallyclock {

namespace {

// The program the desktop uses for .xlsx files, from its desktop entry.
std::optional<SpreadsheetLaunch> registeredSpreadsheetProgram(const std::atomic_bool &stop)
{
    QProcess query;
    // A process group of its own: xdg-mime is a script, and ending it ends what it
    // started too.
    query.setChildProcessModifier([] { ::setpgid(0, 0); });
    query.start(QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"),
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    // At most 3 s, and not a moment longer once the program is ending.
    const QDeadlineTimer deadline(3000);
    while (!query.waitForFinished(20)) {
        if (query.state() == QProcess::NotRunning)
            return std::nullopt; // it could not be started
        if (stop.load() || deadline.hasExpired()) {
            if (query.processId() > 0)
                ::kill(-static_cast<pid_t>(query.processId()), SIGKILL);
            query.kill();
            query.waitForFinished(1000);
            return std::nullopt;
        }
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    const QString id = QString::fromUtf8(query.readAllStandardOutput().trimmed());
    if (id.isEmpty())
        return std::nullopt;
    // "vendor-app.desktop" may also stand as "vendor/app.desktop".
    QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    if (entry.isEmpty() && id.contains(QLatin1Char('-')))
        entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
            QString(id).replace(id.indexOf(QLatin1Char('-')), 1, QLatin1Char('/')));
    QFile file(entry);
    if (entry.isEmpty() || !file.open(QIODevice::ReadOnly))
        return SpreadsheetLaunch{}; // registered, but only the desktop knows how to start it
    return launchForExec(desktopEntryExec(file.read(1 << 20)));
}

} // namespace

std::optional<SpreadsheetLaunch> findSpreadsheetProgram(
    const std::shared_ptr<std::atomic_bool> &stop)
{
    std::optional<SpreadsheetLaunch> found = registeredSpreadsheetProgram(*stop);
    // Nothing registered: a spreadsheet program on the PATH, started directly.
    for (const char *name : {"localc", "libreoffice", "soffice", "gnumeric"}) {
        if (found || stop->load())
            break;
        const QString program = QStandardPaths::findExecutable(QLatin1String(name));
        if (!program.isEmpty())
            found = qstrcmp(name, "gnumeric") == 0
                ? SpreadsheetLaunch{program, {}, false}
                : SpreadsheetLaunch{program, {QStringLiteral("-n")}, true};
    }
    return found;
}

} // namespace tallyclock
