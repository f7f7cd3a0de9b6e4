#include "fakes/FakeCounter.h"
#include "fakes/FakeDesktop.h"
#include "results/ResultsList.h"
#include "results/ResultsView.h"
#include "stopwatch/StopwatchController.h"
#include "timing/clsElapsedTimer.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tallyclock;

namespace {

// The controls and the controller as the window sets them up after loading.
struct Stopwatch
{
    FakeCounter counter;
    FakeDesktop desktop;
    QPushButton startStop{StopwatchText::startCaption()};
    QPushButton lap{QStringLiteral("Lap (or press L)")};
    QLabel display;
    QTimer timer1;
    ResultsView view;
    ResultsList results{view};
    StopwatchController controller{
        desktop, counter, results, StopwatchControls{&startStop, &lap, &display, &timer1}};

    explicit Stopwatch(std::int64_t frequency = 1000)
    {
        counter.frequency = frequency;
        results.addColumnHeader(QStringLiteral("Result(s)"));
        results.addColumnHeader(QStringLiteral("Result(s)"));
        controller.createElapsedTimer();
        display.setText(StopwatchText::zero());
    }

    // Runs a script: S Start/Stop, L Lap, R Reset, t a refresh tick, +x advance x s.
    void run(const QString &script)
    {
        for (const QString &action : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (action == QLatin1String("S"))
                controller.PushButton2_Click();
            else if (action == QLatin1String("L"))
                controller.PushButton5_Click();
            else if (action == QLatin1String("R"))
                controller.PushButton1_Click();
            else if (action == QLatin1String("t"))
                controller.Timer1_Timer();
            else if (action.startsWith(QLatin1Char('+')))
                counter.advanceSeconds(action.mid(1).toDouble());
            else
                qFatal("unknown script action");
        }
    }

    // Each entry as its text; fails the test if an entry is not as every action leaves it.
    QStringList entries() const
    {
        QStringList texts;
        for (int i = 1; i <= results.itemCount(); ++i) {
            const ResultEntry entry = results.item(i);
            if (!entry.Checked() || !entry.Text().endsWith(entry.SubItems(1))
                || entry.SubItems(1).isEmpty())
                texts << QStringLiteral("MALFORMED ") + entry.Text();
            else
                texts << entry.Text();
        }
        return texts;
    }
};

} // namespace

class TestStopwatchController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transitions_data();
    void transitions();
    void keys_data();
    void keys();
    void yieldsWhereTheyShould();
    void actionDuringRefreshYield();
    void failingStepsAreReportedAndHandlerGoesOn_data();
    void failingStepsAreReportedAndHandlerGoesOn();
    void failingTickDoesNotStackReports();
    void realTimerRefreshesDisplay();
};

void TestStopwatchController::transitions_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("lapEnabled");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<QString>("display");

    const QString start = StopwatchText::startCaption();
    const QString stop = StopwatchText::stopCaption();

    QTest::newRow("idle_start") << "S" << QStringList{"Timer started at 0.000"} << stop << true
                                << true << "0.000";
    QTest::newRow("running_stop") << "S +2.5 t S"
                                  << QStringList{"Timer started at 0.000", "Timer stopped at 2.500"}
                                  << start << false << false << "2.500";
    QTest::newRow("stop_logs_what_was_shown")
        << "S +2.5 t +0.01 S" << QStringList{"Timer started at 0.000", "Timer stopped at 2.500"}
        << start << false << false << "2.500";
    QTest::newRow("paused_resume_continues_exact_time")
        << "S +2.5 t +0.01 S +10 S +1 t"
        << QStringList{"Timer started at 0.000", "Timer stopped at 2.500", "Timer resumed at 2.500"}
        << stop << true << true << "3.510";
    QTest::newRow("running_lap") << "S +0.025 t +12.32 L"
                                 << QStringList{"Timer started at 0.000", "Timer Lapsed at 12.345"}
                                 << stop << true << true << "12.345";
    QTest::newRow("lap_then_tick_shows_new_lap")
        << "S +0.025 t +12.32 L +0.025 t"
        << QStringList{"Timer started at 0.000", "Timer Lapsed at 12.345"} << stop << true << true
        << "0.025";
    QTest::newRow("idle_lap_from_zero")
        << "L" << QStringList{"Lap started at 0.000"} << start << true << true << "0.000";
    QTest::newRow("lap_timing_lap")
        << "L +2 t L" << QStringList{"Lap started at 0.000", "Timer Lapsed at 2.000"} << start
        << true << true << "2.000";
    QTest::newRow("lap_timing_startstop_resumes_without_break")
        << "L +1 t S +1 t" << QStringList{"Lap started at 0.000", "Timer resumed at 1.000"} << stop
        << true << true << "2.000";
    QTest::newRow("paused_L_key_laps_from_zero")
        << "S +3 t S L +0.5 t"
        << QStringList{"Timer started at 0.000", "Timer stopped at 3.000", "Timer Lapsed at 3.000"}
        << start << false << true << "0.500";
    QTest::newRow("running_reset_keeps_lap_enabled")
        << "S +5 t R" << QStringList{"Timer started at 0.000", "Timer Reset to 0.000"} << start
        << true << false << "0.000";
    QTest::newRow("paused_reset_keeps_lap_disabled")
        << "S +5 t S R"
        << QStringList{"Timer started at 0.000", "Timer stopped at 5.000", "Timer Reset to 0.000"}
        << start << false << false << "0.000";
    QTest::newRow("two_resets_two_entries")
        << "R R" << QStringList{"Timer Reset to 0.000", "Timer Reset to 0.000"} << start << true
        << false << "0.000";
    QTest::newRow("start_lap_stop_reset")
        << "S +1 t L +2 t S R"
        << QStringList{"Timer started at 0.000", "Timer Lapsed at 1.000", "Timer stopped at 2.000",
               "Timer Reset to 0.000"}
        << start << false << false << "0.000";
    QTest::newRow("reset_then_start_from_zero")
        << "S +4 t S R +1 S +1 t"
        << QStringList{"Timer started at 0.000", "Timer stopped at 4.000", "Timer Reset to 0.000",
               "Timer started at 0.000"}
        << stop << true << true << "1.000";
    // Stops that come before any refresh log the time at the start, never a stale one.
    QTest::newRow("double_press_before_refresh")
        << "S +0.01 S" << QStringList{"Timer started at 0.000", "Timer stopped at 0.000"} << start
        << false << false << "0.000";
    QTest::newRow("resume_and_stop_before_refresh")
        << "S +2 t S +30 S +0.01 S"
        << QStringList{"Timer started at 0.000", "Timer stopped at 2.000", "Timer resumed at 2.000",
               "Timer stopped at 2.000"}
        << start << false << false << "2.000";
    QTest::newRow("stop_right_after_lap")
        << "S +5 t L +0.01 S"
        << QStringList{"Timer started at 0.000", "Timer Lapsed at 5.000", "Timer stopped at 0.000"}
        << start << false << false << "0.000";
    QTest::newRow("long_run_shows_all_digits")
        << "S +123456.5 t" << QStringList{"Timer started at 0.000"} << stop << true << true
        << "123456.500";
}

void TestStopwatchController::transitions()
{
    QFETCH(QString, script);
    QFETCH(QStringList, entries);
    QFETCH(QString, caption);
    QFETCH(bool, lapEnabled);
    QFETCH(bool, counting);
    QFETCH(QString, display);

    Stopwatch s;
    s.counter.count = 86'400'000; // a day since boot
    s.run(script);
    QCOMPARE(s.entries(), entries);
    QCOMPARE(s.startStop.text(), caption);
    QCOMPARE(s.lap.isEnabled(), lapEnabled);
    QCOMPARE(s.timer1.isActive(), counting);
    QCOMPARE(s.controller.ElapsedTimer().IsRunning(), counting);
    QCOMPARE(s.display.text(), display);
    QVERIFY(s.desktop.boxes.isEmpty());
}

void TestStopwatchController::keys_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("space") << 32 << 0 << QStringList{"Timer started at 0.000"};
    QTest::newRow("shift_space") << 32 << 1 << QStringList{"Timer started at 0.000"};
    QTest::newRow("L") << 76 << 0 << QStringList{"Lap started at 0.000"};
    QTest::newRow("ctrl_L") << 76 << 2 << QStringList{"Lap started at 0.000"};
    QTest::newRow("backspace") << 8 << 4 << QStringList{"Timer Reset to 0.000"};
    QTest::newRow("other_key") << 77 << 0 << QStringList{};
    QTest::newRow("enter") << 13 << 0 << QStringList{};
}

void TestStopwatchController::keys()
{
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    QFETCH(QStringList, entries);
    Stopwatch s;
    QCOMPARE(s.controller.Form_KeyDown(keyCode, shift), !entries.isEmpty());
    QCOMPARE(s.entries(), entries);
}

void TestStopwatchController::yieldsWhereTheyShould()
{
    Stopwatch s;
    s.controller.UpdateDisplay();
    QCOMPARE(s.desktop.yields, 2);
    s.desktop.yields = 0;
    s.run("S");
    QCOMPARE(s.desktop.yields, 0); // a start writes its entry from the display as it stands
    s.run("t");
    QCOMPARE(s.desktop.yields, 3);
    // Yields closer together than the quiet time pass only when it has gone by.
    s.desktop.yields = 0;
    s.desktop.clockStepNs = Desktop::yieldQuietNs / 2;
    s.run("t");
    QCOMPARE(s.desktop.yields, 1);
}

void TestStopwatchController::actionDuringRefreshYield()
{
    // A Reset that runs inside a tick's first yield: the tick then shows its result.
    Stopwatch s;
    s.run("S +3 t");
    bool once = true;
    s.desktop.onYield = [&] {
        if (std::exchange(once, false))
            s.controller.Form_KeyDown(8, 0);
    };
    s.run("t");
    QCOMPARE(s.display.text(), QStringLiteral("0.000"));
    QCOMPARE(s.entries().last(), QStringLiteral("Timer Reset to 0.000"));
    QVERIFY(!s.timer1.isActive());
}

void TestStopwatchController::failingStepsAreReportedAndHandlerGoesOn_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("releaseTimer");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("entries");
    const QString s2 = QStringLiteral("in Tallyclock2021/08/31.Form1.PushButton2_Click at line ");
    const QString s1 = QStringLiteral("in Tallyclock2021/08/31.Form1.PushButton1_Click at line ");
    const QString s5 = QStringLiteral("in Tallyclock2021/08/31.Form1.PushButton5_Click at line ");
    QTest::newRow("no_frequency_tick")
        << "S +1 t" << false << QStringList{"in Tallyclock2021/08/31.Form1.Timer1 at line 102"}
        << QStringList{"Timer started at 0.000"};
    QTest::newRow("no_frequency_stop")
        << "S +1 S" << false << QStringList{s2 + "126", s2 + "130"}
        << QStringList{"Timer started at 0.000", "Timer stopped at 0.000"};
    QTest::newRow("released_timer_lap")
        << "L" << true << QStringList{s5 + "102"} << QStringList{"Lap started at 0.000"};
    QTest::newRow("released_timer_reset") << "R" << true << QStringList{s1 + "100", s1 + "102"}
                                          << QStringList{"Timer Reset to 0.000"};
    QTest::newRow("released_timer_start")
        << "S" << true << QStringList{s2 + "118"} << QStringList{"Timer started at 0.000"};
}

void TestStopwatchController::failingStepsAreReportedAndHandlerGoesOn()
{
    QFETCH(QString, script);
    QFETCH(bool, releaseTimer);
    QFETCH(QStringList, reports);
    QFETCH(QStringList, entries);
    Stopwatch s(releaseTimer ? 1000 : 0);
    if (releaseTimer)
        s.controller.releaseElapsedTimer();
    s.run(script);
    QCOMPARE(s.desktop.reportLines(), reports);
    QCOMPARE(s.entries(), entries);
}

void TestStopwatchController::failingTickDoesNotStackReports()
{
    // While a tick's report is open, further ticks arrive; they must not stack boxes.
    Stopwatch s(0);
    s.run("S +1");
    int nested = 0;
    s.desktop.onBox = [&](const FakeDesktop::Box &) {
        for (int i = 0; i < 5; ++i, ++nested)
            s.controller.Timer1_Timer();
    };
    s.run("t");
    QCOMPARE(nested, 5);
    QCOMPARE(s.desktop.boxes.size(), 1);
    s.desktop.onBox = nullptr;
    s.run("t"); // the next tick after the box was closed reports again
    QCOMPARE(s.desktop.boxes.size(), 2);
}

void TestStopwatchController::realTimerRefreshesDisplay()
{
    Stopwatch s;
    s.run("S +1.5");
    QTRY_COMPARE(s.display.text(), QStringLiteral("1.500"));
    s.run("S");
    QVERIFY(!s.timer1.isActive());
}

QTEST_MAIN(TestStopwatchController)
#include "tst_stopwatchcontroller.moc"
