#include "core/Failure.h"
#include "fakes/FakeCounter.h"
#include "timing/clsElapsedTimer.h"

#include <QTest>

#include <limits>

using namespace tallyclock;

class TestElapsedTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newTimerReadsZero();
    void resumeCarriesTheStoppedTime();
    void startWhileRunningChangesNothing();
    void stopTwiceTakesOneReading();
    void elapsedWhileStoppedRepeatsLastRunningReading();
    void stopBeforeAnyRefresh_data();
    void stopBeforeAnyRefresh();
    void reset_data();
    void reset();
    void kill_data();
    void kill();
    void zeroFrequency_data();
    void zeroFrequency();
    void overflowLeavesFieldsAsTheyWere();
    void failedCounterQueryLeavesTargetUnchanged();
};

void TestElapsedTimer::newTimerReadsZero()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    QCOMPARE(timer.Elapsed(), 0.0);
    QCOMPARE(timer.StopTimer(), 0.0);
    QVERIFY(!timer.IsRunning());
    QCOMPARE(counter.counterReads, 0);
}

void TestElapsedTimer::resumeCarriesTheStoppedTime()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(2.5);
    QCOMPARE(timer.StopTimer(), 2.5);
    counter.advanceSeconds(10);
    timer.Start();
    QVERIFY(timer.IsRunning());
    counter.advanceSeconds(1);
    QCOMPARE(timer.Elapsed(), 3.5);
    QCOMPARE(timer.StopTimer(), 3.5);
}

void TestElapsedTimer::startWhileRunningChangesNothing()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(4);
    const auto before = timer.fields();
    const int reads = counter.counterReads;
    timer.Start();
    QCOMPARE(timer.fields(), before);
    QCOMPARE(counter.counterReads, reads);
    counter.advanceSeconds(1);
    QCOMPARE(timer.Elapsed(), 5.0);
}

void TestElapsedTimer::stopTwiceTakesOneReading()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(1.25);
    const int reads = counter.counterReads;
    QCOMPARE(timer.StopTimer(), 1.25);
    counter.advanceSeconds(3);
    QCOMPARE(timer.StopTimer(), 1.25);
    QCOMPARE(counter.counterReads, reads + 1);
    QVERIFY(!timer.IsRunning());
}

void TestElapsedTimer::elapsedWhileStoppedRepeatsLastRunningReading()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(1.0);
    QCOMPARE(timer.Elapsed(), 1.0);
    counter.advanceSeconds(0.2);
    QCOMPARE(timer.StopTimer(), 1.2);
    counter.advanceSeconds(5);
    QCOMPARE(timer.Elapsed(), 1.0);
}

// A stop with no refresh since the start logs the time at that start. Before the
// mend, Elapsed worked from a reading taken before the start (-86411.503 and worse).
void TestElapsedTimer::stopBeforeAnyRefresh_data()
{
    QTest::addColumn<bool>("resume");
    QTest::addColumn<double>("expected");
    QTest::newRow("fresh_start") << false << 0.0;
    QTest::newRow("resume_after_stop") << true << 2.0;
}

void TestElapsedTimer::stopBeforeAnyRefresh()
{
    QFETCH(bool, resume);
    QFETCH(double, expected);
    FakeCounter counter;
    counter.count = 86'411'503; // a machine that has been up a day
    clsElapsedTimer timer(counter);
    if (resume) {
        timer.Start();
        counter.advanceSeconds(2);
        timer.StopTimer();
        counter.advanceSeconds(30);
    }
    timer.Start();
    counter.advanceSeconds(0.01);
    timer.StopTimer();
    QCOMPARE(timer.Elapsed(), expected);
}

void TestElapsedTimer::reset_data()
{
    QTest::addColumn<bool>("stopFirst");
    QTest::newRow("reset_while_running") << false;
    QTest::newRow("reset_after_stop") << true;
}

void TestElapsedTimer::reset()
{
    QFETCH(bool, stopFirst);
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(7);
    timer.Elapsed();
    if (stopFirst)
        timer.StopTimer();
    counter.frequency = 2000; // Reset re-reads the frequency
    timer.Reset();
    QCOMPARE(timer.fields(), (clsElapsedTimer::Fields{2000, 0, false, 0, 0}));
    QCOMPARE(timer.Elapsed(), 0.0);
    QVERIFY(!timer.IsRunning());
    timer.Start();
    counter.count += counter.frequency; // one second
    QCOMPARE(timer.Elapsed(), 1.0);
}

// kill stops and keeps the counts: the next Start resumes only what a StopTimer kept.
void TestElapsedTimer::kill_data()
{
    QTest::addColumn<int>("startsAndStops");
    QTest::addColumn<double>("afterRestart");
    QTest::newRow("new_timer") << 0 << 1.0;
    QTest::newRow("running_restarts_at_zero") << 1 << 1.0;
    QTest::newRow("stopped_is_unchanged") << 2 << 3.0;
}

void TestElapsedTimer::kill()
{
    QFETCH(int, startsAndStops);
    QFETCH(double, afterRestart);
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    if (startsAndStops >= 1) {
        timer.Start();
        counter.advanceSeconds(2);
    }
    if (startsAndStops == 2)
        timer.StopTimer();
    auto expected = timer.fields();
    expected.Running = false;
    const int reads = counter.counterReads;
    timer.kill();
    QCOMPARE(timer.fields(), expected);
    QCOMPARE(counter.counterReads, reads);
    timer.Start();
    counter.advanceSeconds(1);
    QCOMPARE(timer.Elapsed(), afterRestart);
}

void TestElapsedTimer::zeroFrequency_data()
{
    QTest::addColumn<bool>("advance");
    QTest::addColumn<QString>("description");
    QTest::newRow("counts_differ") << true << QStringLiteral("Division by zero");
    QTest::newRow("no_counts_differ") << false << QStringLiteral("Overflow");
}

void TestElapsedTimer::zeroFrequency()
{
    QFETCH(bool, advance);
    QFETCH(QString, description);
    FakeCounter counter;
    counter.frequency = 0;
    clsElapsedTimer timer(counter);
    timer.Start();
    if (advance)
        counter.advanceSeconds(1), counter.count += 5;
    try {
        timer.Elapsed();
        QFAIL("Elapsed must fail without a frequency");
    } catch (const Failure &f) {
        QCOMPARE(f.description(), description);
    }
    try {
        timer.StopTimer();
        QFAIL("StopTimer must fail without a frequency");
    } catch (const Failure &f) {
        QCOMPARE(f.description(), description);
    }
    // The stop had already taken its reading and stopped.
    QVERIFY(!timer.IsRunning());
    QCOMPARE(timer.fields().StopCount, counter.count);
}

void TestElapsedTimer::overflowLeavesFieldsAsTheyWere()
{
    FakeCounter counter;
    counter.count = std::numeric_limits<std::int64_t>::min() + 10;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.count = std::numeric_limits<std::int64_t>::max() - 5;
    const auto running = timer.fields();
    // A reading is taken, then the difference overflows.
    QVERIFY_THROWS_EXCEPTION(Failure, timer.Elapsed());
    QCOMPARE(timer.fields().StartCount, running.StartCount);
    QVERIFY(timer.IsRunning());

    // Resume arithmetic that would overflow: StartCount - StopCount.
    FakeCounter second;
    second.count = std::numeric_limits<std::int64_t>::min() + 1;
    clsElapsedTimer resumed(second);
    resumed.Start();
    second.count = 100;
    QVERIFY_THROWS_EXCEPTION(Failure, resumed.StopTimer());
    const auto stopped = resumed.fields();
    try {
        resumed.Start();
        QFAIL("the resume must overflow");
    } catch (const Failure &f) {
        QCOMPARE(f.description(), QStringLiteral("Overflow"));
    }
    QCOMPARE(resumed.fields(), stopped);
}

void TestElapsedTimer::failedCounterQueryLeavesTargetUnchanged()
{
    FakeCounter counter;
    clsElapsedTimer timer(counter);
    timer.Start();
    counter.advanceSeconds(3);
    QCOMPARE(timer.Elapsed(), 3.0);
    counter.counterFails = true;
    counter.advanceSeconds(3);
    QCOMPARE(timer.Elapsed(), 3.0);
}

QTEST_GUILESS_MAIN(TestElapsedTimer)
#include "tst_elapsedtimer.moc"
