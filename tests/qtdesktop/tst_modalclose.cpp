// Runs on a real display server: the close request that a user's click on the close
// button sends must end the program also while a message box or the save dialog
// blocks the main window. On X11 (xvfb-run) the test sends the request itself; on
// Wayland run-under-sway.sh asks the compositor to close the window titled
// "Tallyclock close test" once the dialog is up. Run one function per process: the
// close ends every event loop of the run.
#include "core/Failure.h"
#include "qtdesktop/QtDesktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/XcbAtom.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace tallyclock;

namespace {

void requestClose(QWidget &window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcbRequestClose(x11->connection(), static_cast<xcb_window_t>(window.winId()));
}

class ClosingWindow : public QWidget
{
public:
    QtDesktop *desktop = nullptr;
    bool closed = false;

protected:
    void closeEvent(QCloseEvent *) override
    {
        closed = true;
        desktop->beginEnding();
        QCoreApplication::exit(0); // as the program does: every event loop ends
    }
};

} // namespace

class TestModalClose : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeDuringMessageBox();
    void closeDuringSaveDialog();
    void closeDuringSaveDialogsOwnBox();

private:
    void closeWhileOpen(
        const QString &dialogTitle, const std::function<void(QtDesktop &)> &openDialog);
};

namespace {

QWidget *shownWindow(const QString &title)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto found = std::find_if(windows.cbegin(), windows.cend(),
        [&title](const QWidget *w) { return w->isVisible() && w->windowTitle() == title; });
    return found == windows.cend() ? nullptr : *found;
}

} // namespace

// Opens a dialog and closes the window once the dialog titled `dialogTitle` is up.
void TestModalClose::closeWhileOpen(
    const QString &dialogTitle, const std::function<void(QtDesktop &)> &openDialog)
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("wayland"))
        QSKIP("needs an X server or a Wayland compositor");
    ClosingWindow window;
    window.setWindowTitle(QStringLiteral("Tallyclock close test"));
    QtDesktop desktop;
    window.desktop = &desktop;
    desktop.setWindow(&window);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTimer closer;
    if (platform == QLatin1String("xcb")) {
        connect(&closer, &QTimer::timeout, &window, [&] {
            if (shownWindow(dialogTitle)) {
                closer.stop();
                requestClose(window);
            }
        });
        closer.start(50);
    }
    // Give up after a while rather than hang, should the request never arrive.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
    bool ended = false;
    try {
        openDialog(desktop);
    } catch (const ProgramEnding &) {
        ended = true;
    }
    QVERIFY(window.closed);
    QVERIFY(ended);
}

void TestModalClose::closeDuringMessageBox()
{
    closeWhileOpen(QStringLiteral("Application Error"), [](QtDesktop &desktop) {
        desktop.messageBox(QStringLiteral("A report"), 48, QStringLiteral("Application Error"));
    });
}

namespace {

void openSaveDialog(QtDesktop &desktop)
{
    desktop.saveFileName(
        QStringLiteral("Save"), QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
}

} // namespace

void TestModalClose::closeDuringSaveDialog()
{
    closeWhileOpen(QStringLiteral("Save"), openSaveDialog);
}

// The save dialog opens its own warnings with exec(), modal in Qt's sense.
void TestModalClose::closeDuringSaveDialogsOwnBox()
{
    QTimer opener;
    connect(&opener, &QTimer::timeout, this, [&opener] {
        if (auto *dialog = qobject_cast<QFileDialog *>(shownWindow(QStringLiteral("Save")))) {
            opener.stop();
            QMessageBox::warning(
                dialog, QStringLiteral("Directory check"), QStringLiteral("Directory not found."));
        }
    });
    opener.start(50);
    closeWhileOpen(QStringLiteral("Directory check"), openSaveDialog);
}

// Qt 6.4's Wayland client can deadlock tearing down its display after the compositor
// closed a window: its event thread waits for a read that the main thread prepared.
// The verdict is written by then, so the test leaves without the teardown there.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestModalClose test;
    const int failures = QTest::qExec(&test, argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        std::fflush(nullptr);
        std::_Exit(failures);
    }
    return failures;
}
#include "tst_modalclose.moc"
