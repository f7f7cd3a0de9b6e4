// Random use of the real window (offscreen, fakes for the desktop and the counter):
// clicks on all seven buttons, the three keys with auto-repeat runs, ticks, pointer
// moves, and actions injected while a handler yields, the close of the window among
// them. After every action the invariants hold; a failure names its seed for replay:
//   tst_randomuse randomUse:<seed>        (TALLYCLOCK_RANDOM_ACTIONS sets the count)
#include "failure/TrappedHandler.h"
#include "fakes/FakeCounter.h"
#include "fakes/FakeDesktop.h"
#include "fakes/RecordingSkinEngine.h"
#include "results/ResultsList.h"
#include "skin/PointerSetting.h"
#include "stopwatch/StopwatchController.h"
#include "window/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

#include <random>

using namespace tallyclock;

namespace {

const QStringList buttonNames{"PushButton2", "PushButton5", "PushButton1", "PushButton4",
    "PushButton13", "PushButton3", "PushButton6"};
const QStringList areaNames{"Frame1", "Label1", "ListView1"};

// One window's life: actions until the window is closed or the budget is spent.
class Episode
{
public:
    Episode(std::mt19937 &rng, const QString &folder)
        : m_rng(rng)
        , m_folder(folder)
    {
        desktop.tempFolder = folder;
        desktop.documents = folder;
        form = std::make_unique<Form1>(desktop, counter, skin, QStringList{folder});
        form->setOnEnded([this] { onClosed(); });
        form->Form_Load();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qFatal("the window was not activated");
        // Yields close together pass only now and then, as in the program: each reading
        // of the yields' clock moves it on by a random share of the quiet time.
        desktop.onYield = [this] {
            desktop.clockStepNs = std::uniform_int_distribution<qint64>(
                Desktop::yieldQuietNs / 8, Desktop::yieldQuietNs)(m_rng);
            maybeInject();
        };
        desktop.onBox = [this](const FakeDesktop::Box &) { maybeInject(); };
    }

    // Runs up to `budget` top-level actions; returns how many ran. Fails the test on
    // the first broken invariant.
    int run(int budget)
    {
        int done = 0;
        while (done < budget && !m_closed) {
            act(/*nested=*/false);
            ++done;
            if (QTest::currentTestFailed())
                return done;
            checkInvariants();
            if (QTest::currentTestFailed())
                return done;
        }
        if (!m_closed)
            form->close();
        return done;
    }

    int actions = 0; // top-level and injected
    int injected = 0;
    bool closedInside = false; // the close came while a handler yielded

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }

    void act(bool nested)
    {
        ++actions;
        // Injected actions now and then close the window: the user's close mid-handler.
        const int kind = nested && chance(0.03) ? 6 : pick(6);
        switch (kind) {
        case 0:
        case 1:
            click(buttonNames[pick(buttonNames.size())]);
            break;
        case 2: {
            static const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_L, Qt::Key_Backspace};
            const Qt::Key key = keys[pick(3)];
            const int repeats = chance(0.1) ? 1 + pick(20) : 0; // a held key
            for (int i = 0; i <= repeats && !m_closed; ++i)
                pressKey(key, i > 0);
            break;
        }
        case 3:
            // As the timer delivers it: through the slot guard.
            guardedSlot([this] { form->controller().Timer1_Timer(); });
            break;
        case 4:
            counter.advanceSeconds(pick(3000) / 1000.0);
            break;
        case 5:
            moveOver();
            break;
        default:
            form->close(); // injected: the user closes the window mid-handler
            break;
        }
    }

    void click(const QString &name)
    {
        // Every dialog and question a click can raise is scripted: a path in the
        // episode's folder (some existing, some not, some a cancel) and an answer.
        if (name == QLatin1String("PushButton4")) {
            static const char *names[] = {"a.txt", "b", ""};
            const QString file = QLatin1String(names[pick(3)]);
            desktop.savePaths << (file.isEmpty() ? QString() : m_folder + u'/' + file);
            desktop.answers << (chance(0.5) ? MessageAnswer::Yes : MessageAnswer::No);
        }
        form->findChild<QPushButton *>(name)->click();
    }

    void pressKey(Qt::Key key, bool autoRepeat)
    {
        const QString text = key == Qt::Key_Space ? QStringLiteral(" ")
            : key == Qt::Key_L                    ? QStringLiteral("l")
                                                  : QString();
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QWindowSystemInterface::handleExtendedKeyEvent(
                form->windowHandle(), type, key, {}, 0, 0, 0, text, autoRepeat);
            QWindowSystemInterface::flushWindowSystemEvents();
        }
    }

    void moveOver()
    {
        QWidget *target = form.get();
        const int n = pick(buttonNames.size() + areaNames.size() + 1);
        if (n < buttonNames.size())
            target = form->findChild<QWidget *>(buttonNames[n]);
        else if (n < buttonNames.size() + areaNames.size())
            target = form->findChild<QWidget *>(areaNames[n - buttonNames.size()]);
        const QPointF centre = QRectF(target->rect()).center();
        QMouseEvent move(QEvent::MouseMove, centre, target->mapToGlobal(centre), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }

    // While a handler yields (or a box is open), another action may run inside it.
    void maybeInject()
    {
        if (m_closed) {
            // Nothing may run once the window is closing: a yield there is a fault.
            QTest::qFail("a handler went on after the close", __FILE__, __LINE__);
            return;
        }
        if (m_depth >= 3 || !chance(0.08))
            return;
        ++m_depth;
        ++injected;
        act(/*nested=*/true);
        --m_depth;
    }

    void onClosed()
    {
        closedInside = m_depth > 0;
        m_closed = true;
        m_entriesAtClose = form->results().itemCount();
        m_boxesAtClose = desktop.boxes.size();
    }

    void checkInvariants()
    {
        static const QRegularExpression display(QStringLiteral("^-?[0-9]+\\.[0-9]{3}$"));
        const QString shown = form->findChild<QLabel *>(QStringLiteral("Label1"))->text();
        QVERIFY2(display.match(shown).hasMatch(), qPrintable(shown));
        const int pointer = form->pointer().value();
        QVERIFY2(pointer == 0 || pointer == 1 || pointer == 11 || pointer == 99,
            qPrintable(QString::number(pointer)));
        const ResultsList &results = form->results();
        for (int i = 1; i <= results.itemCount(); ++i) {
            const ResultEntry entry = results.item(i);
            QVERIFY2(entry.Text().endsWith(entry.SubItems(1)), qPrintable(entry.Text()));
            QVERIFY2(display.match(entry.SubItems(1)).hasMatch(), qPrintable(entry.SubItems(1)));
        }
        // The only report random use may see: Clear Results while a copy renders
        // the list (the copy holds no busy state, by design).
        for (const QString &line : desktop.reportLines())
            QCOMPARE(line,
                QStringLiteral("in Tallyclock2021/08/31.Form1.PushButton6_Click at line 106"));
        if (m_closed) {
            QCOMPARE(results.itemCount(), m_entriesAtClose);
            QCOMPARE(desktop.boxes.size(), m_boxesAtClose);
        }
    }

    std::mt19937 &m_rng;
    QString m_folder;
    FakeCounter counter;
    FakeDesktop desktop;
    RecordingSkinEngine skin;
    std::unique_ptr<Form1> form;
    int m_depth = 0;
    bool m_closed = false;
    int m_entriesAtClose = 0;
    qsizetype m_boxesAtClose = 0;
};

} // namespace

class TestRandomUse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomUse_data();
    void randomUse();
};

void TestRandomUse::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 10; ++seed)
        QTest::addRow("%u", seed) << seed;
}

void TestRandomUse::randomUse()
{
    QFETCH(quint32, seed);
    const int total = qEnvironmentVariableIntValue("TALLYCLOCK_RANDOM_ACTIONS") > 0
        ? qEnvironmentVariableIntValue("TALLYCLOCK_RANDOM_ACTIONS") / 10
        : 1000;
    std::mt19937 rng(seed);
    int done = 0;
    int episodes = 0;
    int injected = 0;
    int closedInside = 0;
    while (done < total && !QTest::currentTestFailed()) {
        QTemporaryDir folder;
        Episode episode(rng, folder.path());
        done += episode.run(std::min(400, total - done));
        ++episodes;
        injected += episode.injected;
        closedInside += episode.closedInside ? 1 : 0;
    }
    if (qEnvironmentVariableIsSet("TALLYCLOCK_RANDOM_STATS"))
        qInfo("seed %u: %d actions, %d injected while a handler yielded, %d windows, %d "
              "closed mid-handler",
            seed, done, injected, episodes, closedInside);
    if (QTest::currentTestFailed())
        qWarning("random use failed with seed %u after %d actions; replay with "
                 "tst_randomuse randomUse:%u",
            seed, done, seed);
}

QTEST_MAIN(TestRandomUse)
#include "tst_randomuse.moc"
