// Runs on a real X server (xvfb-run) beside another program that fights for the
// clipboard or never answers as its manager (clipboard_peer): the copy ends with its
// confirmation and no report, and the program still ends. A hang fails by the test's
// time-out. The peer's path comes in TALLYCLOCK_CLIPBOARD_PEER.
#include "fakes/ResultsFixture.h"
#include "qtdesktop/QtDesktop.h"
#include "resultactions/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

using namespace tallyclock;

namespace {

// The real clipboard; message boxes are recorded instead of shown.
class RecordingQtDesktop : public QtDesktop
{
public:
    QStringList boxes;

protected:
    int showMessageBox(const QString &text, int, const QString &) override
    {
        boxes << text;
        return MessageAnswer::Ok;
    }
};

class Peer
{
public:
    explicit Peer(const char *mode)
    {
        // A cross build's peer runs through the emulator in TALLYCLOCK_EMULATOR.
        QStringList command = QProcess::splitCommand(qEnvironmentVariable("TALLYCLOCK_EMULATOR"));
        command << qEnvironmentVariable("TALLYCLOCK_CLIPBOARD_PEER") << QLatin1String(mode);
        const QString program = command.takeFirst();
        m_process.start(program, command);
        m_started = m_process.waitForStarted(10000);
        QTest::qWait(200); // let it take the selection
    }
    ~Peer()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    bool started() const { return m_started; }

private:
    QProcess m_process;
    bool m_started = false;
};

} // namespace

class TestClipboardPeers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyWhileAnotherProgramTakesTheClipboard();
    void silentClipboardManager();
};

void TestClipboardPeers::copyWhileAnotherProgramTakesTheClipboard()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server");
    Peer peer("busy");
    QVERIFY(peer.started());
    ResultsFixture results;
    results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    RecordingQtDesktop desktop;
    for (int i = 0; i < 20; ++i)
        PushButton6_Click(desktop, results.list, QStringLiteral("Tallyclock"));
    QCOMPARE(desktop.boxes.size(), 20); // the confirmation each time, never a report
    for (const QString &box : std::as_const(desktop.boxes))
        QCOMPARE(box, clipboardConfirmation());
}

// The copied text is handed to the manager when the program ends; Qt gives up on a
// manager that never answers, so the end is late but comes.
void TestClipboardPeers::silentClipboardManager()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server");
    static Peer *manager = new Peer("manager"); // lives until the application ends
    QVERIFY(manager->started());
    ResultsFixture results;
    results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    RecordingQtDesktop desktop;
    PushButton6_Click(desktop, results.list, QStringLiteral("Tallyclock"));
    QCOMPARE(desktop.boxes, QStringList{clipboardConfirmation()});
    QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());
}

QTEST_MAIN(TestClipboardPeers)
#include "tst_clipboardpeers.moc"
