#include "core/Failure.h"
#include "fakes/FakeDesktop.h"
#include "qtdesktop/QtDesktop.h"

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>

using namespace tallyclock;

class TestQtDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void allFilesListsNamesWithoutDot();
    void boxIsModal();
    void saveDialogKeepsTheLastPath();
    void spreadsheetLookupKeepsTheWindowGoing_data();
    void spreadsheetLookupKeepsTheWindowGoing();
    void workAsideKeepsTheWindowGoing();
    void workAsideAbandonedWhenTheProgramEnds();
    void workAsideUndoneWhenEnding_data();
    void workAsideUndoneWhenEnding();
};

namespace {

// Counts the keys the window system hands it, and whether they came while `waiting`.
class KeyWindow : public QWidget
{
public:
    bool waiting = false;
    int keysWhileWaiting = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { keysWhileWaiting += waiting ? 1 : 0; }
};

} // namespace

// The suite also runs under Qt's Unix event dispatcher; make sure it does.
void TestQtDesktop::initTestCase()
{
    const char *dispatcher = QAbstractEventDispatcher::instance()->metaObject()->className();
    if (qEnvironmentVariableIntValue("QT_NO_GLIB") != 0)
        QVERIFY2(!QByteArray(dispatcher).contains("Glib"), dispatcher);
}

namespace {

QDialog *openDialog(const QWidget &window)
{
    for (auto *dialog : window.findChildren<QDialog *>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

// A box is modal for the whole program: what the window system delivers to the window
// (a click, a key) goes nowhere until the box is answered; the end of the program
// ends the box at once.
void TestQtDesktop::boxIsModal()
{
    QWidget window;
    auto *lap = new QPushButton(QStringLiteral("Lap"), &window);
    int laps = 0;
    connect(lap, &QPushButton::clicked, this, [&] { ++laps; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QtDesktop desktop;
    desktop.setWindow(&window);
    bool blocked = false;
    int lines = 0;
    QTimer::singleShot(0, this, [&] {
        QDialog *box = openDialog(window);
        blocked = box && QApplication::activeModalWidget() == box;
        // A carriage return alone breaks the line, on every platform.
        if (auto *label
            = box ? box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")) : nullptr)
            lines = label->sizeHint().height() / label->fontMetrics().lineSpacing();
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, lap->geometry().center());
        QTest::keyClick(window.windowHandle(), Qt::Key_Space);
        desktop.beginEnding();
    });
    QVERIFY_THROWS_EXCEPTION(ProgramEnding,
        desktop.messageBox(
            QStringLiteral("A report\r\rits second line"), MessageStyle::Exclamation, {}));
    QVERIFY(blocked);
    QCOMPARE(lines, 3);
    QCOMPARE(laps, 0);
    QVERIFY(!openDialog(window));
}

// The save dialog opens where the last save of the run went, with its name.
void TestQtDesktop::saveDialogKeepsTheLastPath()
{
    QTemporaryDir dir;
    QWidget window;
    QtDesktop desktop;
    desktop.setWindow(&window);
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    QString folder;
    QString name;
    auto answer = [&](const QString &typed) {
        QTimer::singleShot(0, this, [&, typed] {
            auto *dialog = qobject_cast<QFileDialog *>(openDialog(window));
            if (!dialog)
                return;
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            folder = dialog->directory().absolutePath();
            name = edit ? edit->text() : QString();
            if (!edit)
                return dialog->reject();
            if (!typed.isEmpty())
                edit->setText(typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
    };
    const QString filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    answer(path);
    QCOMPARE(desktop.saveFileName(QStringLiteral("Save"), filter), path);
    answer({});
    QCOMPARE(desktop.saveFileName(QStringLiteral("Save"), filter), path);
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QCOMPARE(name, QStringLiteral("old.txt"));
}

void TestQtDesktop::allFilesListsNamesWithoutDot()
{
    QTemporaryDir dir;
    for (const char *name : {"results.txt", "results", "notes.md"})
        QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    setUpSaveDialog(dialog, QStringLiteral("Save"),
        QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QCOMPARE(dialog.nameFilters(),
        (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")}));
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    dialog.setDirectory(dir.path());
    dialog.show();

    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    const QModelIndex folder = model->index(dir.path());
    QTRY_COMPARE(model->rowCount(folder), 1); // results.txt

    // The user types a name, then picks "All Files (*.*)" from the list of types with
    // the keyboard, and "Text Files (*.txt)" again from its pop-up.
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(name && types);
    name->clear();
    QTest::keyClicks(name, QStringLiteral("r.txt"));
    QTest::keyClick(types, Qt::Key_Down);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("All Files (*.*)"));
    QTRY_COMPARE(model->rowCount(folder), 3);
    QCOMPARE(name->text(), QStringLiteral("r.txt"));
    types->showPopup();
    QTest::keyClick(types->view(), Qt::Key_Up);
    QTest::keyClick(types->view(), Qt::Key_Return);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
    QCOMPARE(name->text(), QStringLiteral("r.txt"));
    QCOMPARE(dialog.selectedFiles().value(0), dir.filePath(QStringLiteral("r.txt")));
}

QTEST_MAIN(TestQtDesktop)
// The desktop's answer to "which program opens .xlsx files" comes from a child
// process that may be slow; the window must go on painting and counting meanwhile.
void TestQtDesktop::spreadsheetLookupKeepsTheWindowGoing_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("newDocument");
    QTest::newRow("slow_query_for_a_template_program")
        << "/bin/sleep 1; echo calc.desktop" << true << true;
    QTest::newRow("slow_query_for_another_program")
        << "/bin/sleep 1; echo sheets.desktop" << true << false;
    QTest::newRow("nothing_registered") << "exit 4" << false << false;
}

void TestQtDesktop::spreadsheetLookupKeepsTheWindowGoing()
{
#if defined(Q_OS_WIN)
    QSKIP("Windows answers from its file associations at once: there is no query to wait for");
#endif
    QFETCH(QString, query);
    QFETCH(bool, available);
    QFETCH(bool, newDocument);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("bin"));
    QDir(dir.path()).mkpath(QStringLiteral("data/applications"));
    QFile script(dir.filePath(QStringLiteral("bin/xdg-mime")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + query.toUtf8() + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    for (const auto &[name, exec] :
        {std::pair{"calc.desktop", "localc %U"}, std::pair{"sheets.desktop", "sheets --open %F"}}) {
        QFile entry(dir.filePath(QStringLiteral("data/applications/") + QLatin1String(name)));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(QByteArray("[Desktop Entry]\nType=Application\nExec=") + exec + "\n");
    }
    // Only the fake query on the PATH: no spreadsheet program of this machine is found.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("bin"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("none"))));

    KeyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QtDesktop desktop;
    desktop.lookForSpreadsheetProgram();
    // While the first export waits: the display ticks, a key pressed then reaches the
    // window then (not after the wait), and a second export asks for the same answer.
    int ticks = 0;
    std::optional<bool> inner;
    QTimer display;
    connect(&display, &QTimer::timeout, [&] {
        if (++ticks != 1)
            return;
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, "l");
        inner = desktop.spreadsheetProgramAvailable();
    });
    display.start(10);
    window.waiting = true;
    QCOMPARE(desktop.spreadsheetProgramAvailable(), available);
    window.waiting = false;
    QCOMPARE(desktop.spreadsheetOpensAsNewDocument(), newDocument);
    qputenv("PATH", path);
    if (available) {
        QVERIFY2(ticks > 0, "the timer never fired while the query ran");
        QCOMPARE(inner, std::optional<bool>(available));
        QCOMPARE(window.keysWhileWaiting, 1);
    }
}

// A workbook is written in a worker thread: the window's timers go on meanwhile, and
// a failure of the work reaches the caller.
void TestQtDesktop::workAsideKeepsTheWindowGoing()
{
    QtDesktop desktop;
    int ticks = 0;
    QTimer display;
    connect(&display, &QTimer::timeout, [&] { ++ticks; });
    display.start(10);
    bool ran = false;
    desktop.runAside([&] {
        QThread::msleep(300);
        ran = QThread::currentThread() != qApp->thread();
    });
    QVERIFY(ran);
    QVERIFY2(ticks > 0, "the timer never fired while the work ran");
    QVERIFY_THROWS_EXCEPTION(
        Failure, desktop.runAside([] { throw Failure(QStringLiteral("disk full")); }));
}

// Closing the window while a workbook is being written ends the wait at once: what the
// writer would leave is undone, and it finishes on its own.
void TestQtDesktop::workAsideAbandonedWhenTheProgramEnds()
{
    QtDesktop desktop;
    auto release = std::make_shared<std::atomic_bool>(false);
    auto finished = std::make_shared<std::atomic_bool>(false);
    bool undone = false;
    QTimer::singleShot(50, [&] { desktop.beginEnding(); });
    QVERIFY_THROWS_EXCEPTION(ProgramEnding,
        desktop.runAside(
            [release, finished] {
                while (!release->load())
                    QThread::msleep(5);
                finished->store(true);
            },
            [&] { undone = true; }));
    QVERIFY(undone);
    QVERIFY(!finished->load());
    QVERIFY(desktop.hasAbandonedWork());
    release->store(true);
    QTRY_VERIFY(finished->load());
}

// Whatever the work has done by the time the program ends is undone, also when it
// never started or finished just then.
void TestQtDesktop::workAsideUndoneWhenEnding_data()
{
    QTest::addColumn<bool>("endingBefore");
    QTest::newRow("before_the_work") << true;
    QTest::newRow("as_the_work_finishes") << false;
}

void TestQtDesktop::workAsideUndoneWhenEnding()
{
    QFETCH(bool, endingBefore);
    FakeDesktop desktop;
    if (endingBefore)
        desktop.beginEnding();
    bool ran = false;
    bool undone = false;
    QVERIFY_THROWS_EXCEPTION(ProgramEnding,
        desktop.runAside(
            [&] {
                ran = true;
                desktop.beginEnding();
            },
            [&] { undone = true; }));
    QCOMPARE(ran, !endingBefore);
    QVERIFY(undone);
}

#include "tst_qtdesktop.moc"
