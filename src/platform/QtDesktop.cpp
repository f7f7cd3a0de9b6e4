#include "QtDesktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace tallyclock {

int QtDesktop::showMessageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(m_window);
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    if (style & MessageStyle::Exclamation)
        box.setIcon(QMessageBox::Warning);
    if ((style & 0x0F) == MessageStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    switch (pressed) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

void QtDesktop::processPendingEvents()
{
    // A key or click taken in a yield runs its handler inside the yield, and that
    // handler yields too. Past a depth that typing never reaches, input stays queued
    // until the handlers below have returned: a flood of queued keys (a stalled
    // window catching up) then runs one after another instead of nesting until the
    // stack is gone.
    constexpr int inputNestingLimit = 64;
    // A long export yields several times per entry, and each pass of the event loop
    // costs system calls: passes closer together than 2 ms are left out, which keeps
    // the window as lively as before at a fraction of the cost.
    constexpr qint64 quietNs = 2'000'000;
    if (m_sinceYield.isValid() && m_sinceYield.nsecsElapsed() < quietNs)
        return;
    const QScopedValueRollback nesting(m_yieldNesting, m_yieldNesting + 1);
    QCoreApplication::processEvents(m_yieldNesting > inputNestingLimit
            ? QEventLoop::ExcludeUserInputEvents
            : QEventLoop::AllEvents);
    m_sinceYield.start();
}

namespace {

// Returns once `future` has finished, running the event loop with `flags` meanwhile.
template<typename T>
void waitWhileEventsRun(QFuture<T> future, QEventLoop::ProcessEventsFlags flags)
{
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec(flags);
    }
    // The program may be quitting, which ends every event loop: the work still ends
    // before its data goes.
    future.waitForFinished();
}

} // namespace

void QtDesktop::runInWorker(const std::function<void()> &work)
{
    // The window goes on painting, counting and taking input meanwhile, as in the
    // yields of the export that asked for this.
    waitWhileEventsRun(QtConcurrent::run(work), QEventLoop::AllEvents);
}

} // namespace tallyclock

namespace tallyclock {

void setUpSaveDialog(QFileDialog &dialog, const QString &title, const QString &filter)
{
    dialog.setWindowTitle(title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own question before replacing a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);

    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" becomes Qt's
    // "Text Files (*.txt)" and "All Files (*.*)".
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    QStringList patterns;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString &pattern = parts[i + 1];
        filters << (description.contains(pattern)
                ? description
                : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
        patterns << pattern;
    }
    dialog.setNameFilters(filters);

    // "*.*" means every file, as it does on Windows; Qt would hide names without a
    // dot, which the save allows. The text stays; the dialog's list matches "*".
    // (A native dialog of the desktop, where one is used, filters on its own.)
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!model)
        return;
    QObject::connect(&dialog, &QFileDialog::filterSelected, model,
        [model, filters, patterns](const QString &chosen) {
            if (patterns.value(filters.indexOf(chosen)) == QLatin1String("*.*"))
                model->setNameFilters({QStringLiteral("*")});
        });
}

QString QtDesktop::showSaveDialog(const QString &title, const QString &filter)
{
    QFileDialog dialog(m_window);
    setUpSaveDialog(dialog, title, filter);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool QtDesktop::clearClipboard()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear(QClipboard::Clipboard);
    return true;
}

bool QtDesktop::setClipboardText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

namespace {

// The program the desktop uses for .xlsx files, from its desktop entry.
std::optional<SpreadsheetLaunch> registeredSpreadsheetProgram()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"),
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit
        || query.exitCode() != 0)
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

// The registered program, or else one on the PATH. It runs a child process and
// reads files, so it runs away from the GUI thread.
std::optional<SpreadsheetLaunch> findSpreadsheetProgram()
{
    std::optional<SpreadsheetLaunch> found = registeredSpreadsheetProgram();
    // Nothing registered: a spreadsheet program on the PATH, started directly.
    for (const char *name : {"localc", "libreoffice", "soffice", "gnumeric"}) {
        if (found)
            break;
        const QString program = QStandardPaths::findExecutable(QLatin1String(name));
        if (!program.isEmpty())
            found = qstrcmp(name, "gnumeric") == 0
                ? SpreadsheetLaunch{program, {}, false}
                : SpreadsheetLaunch{program, {QStringLiteral("-n")}, true};
    }
    return found;
}

} // namespace

void QtDesktop::lookForSpreadsheetProgram()
{
    if (!m_spreadsheet && !m_looking) {
        m_lookup = QtConcurrent::run(findSpreadsheetProgram);
        m_looking = true;
    }
}

const std::optional<SpreadsheetLaunch> &QtDesktop::spreadsheetProgram()
{
    // A program once found is kept for the run; without one, every export looks again,
    // so that a program installed meanwhile is found.
    if (m_spreadsheet)
        return m_spreadsheet;
    lookForSpreadsheetProgram();
    // Still looking (at most the query's time-out): the window goes on painting and
    // counting, and the user's input waits in the queue until the answer is in.
    waitWhileEventsRun(m_lookup, QEventLoop::ExcludeUserInputEvents);
    m_spreadsheet = m_lookup.result();
    m_lookup = {};
    m_looking = false;
    return m_spreadsheet;
}

bool QtDesktop::spreadsheetProgramAvailable()
{
    return spreadsheetProgram().has_value();
}

bool QtDesktop::spreadsheetOpensAsNewDocument()
{
    return spreadsheetProgram() && spreadsheetProgram()->opensAsNewDocument;
}

bool QtDesktop::openInSpreadsheetProgram(const QString &path)
{
    const std::optional<SpreadsheetLaunch> &launch = spreadsheetProgram();
    if (launch && !launch->program.isEmpty())
        return QProcess::startDetached(launch->program, launch->arguments + QStringList{path});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtDesktop::temporaryFolder()
{
    return QDir::tempPath();
}

QString QtDesktop::documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace tallyclock
