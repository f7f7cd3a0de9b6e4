#include "QtDesktop.h"

#include "system/BoxText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScopedValueRollback>
#include <QSettings>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace tallyclock {

int QtDesktop::showMessageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(m_window);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(boxText(text));
    if (style & MessageStyle::Exclamation)
        box.setIcon(QMessageBox::Warning);
    if ((style & 0x0F) == MessageStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    QAbstractButton *pressed = execDialog(box) ? box.clickedButton() : nullptr;
    switch (box.standardButton(pressed)) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

bool QtDesktop::execDialog(QDialog &dialog)
{
    if (isEnding())
        return false;
    // Modal for the whole program, as Qt does it: the window behind takes no input and
    // ignores its close request, the window system is told (a minimise takes the dialog
    // with the window and answers nothing), and the keys go back where they were after.
    dialog.setWindowModality(Qt::ApplicationModal);
    m_dialogs.append(&dialog);
    dialog.exec();
    m_dialogs.removeOne(&dialog);
    return !isEnding();
}

namespace {

// A key or click taken in a yield runs its handler inside the yield, and that handler
// yields too. Past a depth that typing never reaches, input stays queued until the
// handlers below have returned: a flood of queued keys (a stalled window catching up)
// then runs one after another instead of nesting until the stack is gone.
constexpr int inputNestingLimit = 64;

QEventLoop::ProcessEventsFlags eventsAtDepth(int nesting)
{
    return nesting > inputNestingLimit ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
}

} // namespace

QtDesktop::QtDesktop()
    : m_stopLookup(std::make_shared<std::atomic_bool>(false))
    , m_asidePool(new QThreadPool)
{
    // Qt's file dialog keeps its history, last folder and view in the user's settings
    // ("QtProject"). Tallyclock keeps nothing from one run to the next, so the user's
    // settings file is put under the program itself: a file, beneath which no folder
    // can be made, so nothing is written and nothing of an earlier run is read.
    QSettings::setPath(
        QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::applicationFilePath());
}

QtDesktop::~QtDesktop()
{
    m_stopLookup->store(true);
    if (!m_abandoned) {
        delete m_asidePool;
        return;
    }
    // Work still running when the program ended: its pool is kept (and reachable) for
    // the rest of the process instead of being waited for.
    static auto *abandoned = new QList<QThreadPool *>;
    abandoned->append(m_asidePool);
}

void QtDesktop::processPendingEvents()
{
    const QScopedValueRollback nesting(m_yieldNesting, m_yieldNesting + 1);
    QCoreApplication::processEvents(eventsAtDepth(m_yieldNesting));
}

template<typename T> bool QtDesktop::waitFor(QFuture<T> future)
{
    // Keys, clicks and a close request run their handlers while this waits, as they
    // do in a yield; one of them may wait here again.
    if (!future.isFinished() && !isEnding()) {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        const QScopedValueRollback nesting(m_yieldNesting, m_yieldNesting + 1);
        m_waits.append(&loop);
        if (!future.isFinished())
            loop.exec(eventsAtDepth(m_yieldNesting));
        m_waits.removeOne(&loop);
    }
    if (future.isFinished())
        return true;
    if (isEnding())
        return false;
    // The application is quitting for another reason, which ends every event loop:
    // the work still ends before its data goes.
    future.waitForFinished();
    return true;
}

void QtDesktop::stopWaiting()
{
    m_stopLookup->store(true);
    for (QEventLoop *loop : std::as_const(m_waits))
        loop->quit();
    // Dialogs are ended innermost first; each exec() returns as its own loop ends.
    for (auto dialog = m_dialogs.crbegin(); dialog != m_dialogs.crend(); ++dialog) {
        if (*dialog)
            (*dialog)->done(QDialog::Rejected);
    }
}

bool QtDesktop::runInWorker(std::function<void()> work)
{
    // The window goes on painting, counting and taking input meanwhile, as in the
    // yields of the export that asked for this.
    if (waitFor(QtConcurrent::run(m_asidePool, std::move(work))))
        return true;
    m_abandoned = true;
    return false;
}

namespace {

// Notes the file name as it stands before each key, click or wheel turn that may pick
// a file type, and puts it back after the pick.
class TypedNameKeeper : public QObject
{
public:
    TypedNameKeeper(QLineEdit &name, QObject *parent)
        : QObject(parent)
        , m_name(name)
    { }

    void restore()
    {
        // Only the extension is ever changed by a pick.
        const qsizetype dot = m_before.lastIndexOf(QLatin1Char('.'));
        const QString now = m_name.text();
        if (dot >= 0 && now != m_before && now.startsWith(QStringView(m_before).left(dot + 1)))
            m_name.setText(m_before);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
            m_before = m_name.text();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit &m_name;
    QString m_before;
};

} // namespace

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
    if (auto *model = dialog.findChild<QFileSystemModel *>()) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, model,
            [model, filters, patterns](const QString &chosen) {
                if (patterns.value(filters.indexOf(chosen)) == QLatin1String("*.*"))
                    model->setNameFilters({QStringLiteral("*")});
            });
    }

    // Picking a type gives the typed name that type's extension in Qt's dialog ("r.txt"
    // becomes "r.*" under "All Files (*.*)"). The name is the user's: what it was
    // just before the pick is put back.
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!types || !name)
        return;
    auto *typed = new TypedNameKeeper(*name, &dialog);
    for (QObject *input : {static_cast<QObject *>(types), static_cast<QObject *>(types->view()),
             static_cast<QObject *>(types->view()->viewport())})
        input->installEventFilter(typed);
    QObject::connect(&dialog, &QFileDialog::filterSelected, typed, &TypedNameKeeper::restore);
}

QString QtDesktop::showSaveDialog(const QString &title, const QString &filter)
{
    QFileDialog dialog(m_window);
    setUpSaveDialog(dialog, title, filter);
    // The dialog keeps the last path chosen in this run: it opens in that folder with
    // that name, whichever dialog the desktop provides. The folder is given on its own
    // too: Windows' dialog takes only the name from a full path.
    if (!m_lastSavePath.isEmpty()) {
        dialog.setDirectory(QFileInfo(m_lastSavePath).absolutePath());
        dialog.selectFile(m_lastSavePath);
    }
    if (!execDialog(dialog) || dialog.result() != QDialog::Accepted)
        return QString();
    const QString path = dialog.selectedFiles().value(0);
    if (!path.isEmpty())
        m_lastSavePath = path;
    return path;
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

void QtDesktop::lookForSpreadsheetProgram()
{
    if (!m_spreadsheet && !m_looking && !isEnding()) {
        m_lookup = QtConcurrent::run(findSpreadsheetProgram, m_stopLookup);
        m_looking = true;
        ++m_lookupGeneration;
    }
}

std::optional<SpreadsheetLaunch> QtDesktop::spreadsheetProgram()
{
    // A program once found is kept for the run; without one, every export looks again,
    // so that a program installed meanwhile is found.
    if (m_spreadsheet)
        return m_spreadsheet;
    throwIfEnding();
    lookForSpreadsheetProgram();
    // Still looking (at most the query's time-out): the window goes on painting,
    // counting and taking input. A click meanwhile may start another export that waits
    // for the same answer and takes it first, so this wait keeps its own copy.
    const QFuture<std::optional<SpreadsheetLaunch>> lookup = m_lookup;
    const quint64 generation = m_lookupGeneration;
    waitFor(lookup);
    throwIfEnding();
    const std::optional<SpreadsheetLaunch> found = lookup.result();
    if (found)
        m_spreadsheet = found;
    if (m_looking && generation == m_lookupGeneration) {
        m_lookup = {};
        m_looking = false;
    }
    return found;
}

bool QtDesktop::spreadsheetProgramAvailable()
{
    return spreadsheetProgram().has_value();
}

bool QtDesktop::spreadsheetOpensAsNewDocument()
{
    const std::optional<SpreadsheetLaunch> launch = spreadsheetProgram();
    return launch && launch->opensAsNewDocument;
}

bool QtDesktop::openInSpreadsheetProgram(const QString &path)
{
    const std::optional<SpreadsheetLaunch> launch = spreadsheetProgram();
    if (launch && !launch->program.isEmpty())
        return QProcess::startDetached(
            launch->program, launch->arguments + QStringList{QDir::toNativeSeparators(path)});
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
