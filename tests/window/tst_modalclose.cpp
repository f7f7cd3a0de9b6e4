// Runs on a real display server. While a message box or the save dialog is open, the
// close request that a click on the window's close button sends waits for the box, as
// behind any modal box; the end of the user's session (SIGTERM) still ends the program
// at once. On X11 (xvfb-run) the test sends the request itself; on Wayland
// run-under-sway.sh asks the compositor to close the window titled "Tallyclock
// Software" once the dialog is up. Run one function per process: the end of the program
// ends every event loop of the run.
#include "core/Failure.h"
#include "fakes/FakeCounter.h"
#include "fakes/RecordingSkinEngine.h"
#include "qtdesktop/QtDesktop.h"
#include "system/SessionEnd.h"
#include "window/Form1.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/XcbAtom.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
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

} // namespace

class TestModalClose : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeDuringMessageBox();
    void closeDuringSaveDialog();

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

// Opens a dialog, asks the window to close once the dialog titled `dialogTitle` is up,
// and then ends the session.
void TestModalClose::closeWhileOpen(
    const QString &dialogTitle, const std::function<void(QtDesktop &)> &openDialog)
{
    const QString platform = QGuiApplication::platformName();
    const bool x11 = platform == QLatin1String("xcb");
    if (!x11 && platform != QLatin1String("wayland"))
        QSKIP("needs an X server or a Wayland compositor");
    QTemporaryDir folder;
    QtDesktop desktop;
    FakeCounter counter;
    RecordingSkinEngine skin;
    Form1 window(desktop, counter, skin, {folder.path()});
    desktop.setWindow(&window);
    bool closed = false;
    window.setOnEnded([&closed] {
        closed = true;
        QCoreApplication::exit(0); // as the program does: every event loop ends
    });
    window.Form_Load();
    // As the program does.
    whenSessionEnds([&window] { window.endSession(); });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTimer closer;
    bool closedByRequest = true;
    connect(&closer, &QTimer::timeout, &window, [&] {
        if (!shownWindow(dialogTitle))
            return;
        closer.stop();
        if (x11)
            requestClose(window);
        // What does not happen can only be waited for: time enough for the request
        // (sent at once on X11, by the compositor on Wayland) to be taken.
        QTimer::singleShot(x11 ? 300 : 1500, &window, [&] {
            closedByRequest = closed;
            std::raise(SIGTERM);
        });
    });
    closer.start(50);
    // Give up after a while rather than hang, should nothing end the dialog.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
    bool ended = false;
    try {
        openDialog(desktop);
    } catch (const ProgramEnding &) {
        ended = true;
    }
    QVERIFY(!closedByRequest);
    QVERIFY(closed);
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
