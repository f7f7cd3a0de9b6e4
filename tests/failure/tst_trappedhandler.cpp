#include "core/Failure.h"
#include "failure/ErrorReport.h"
#include "failure/TrappedHandler.h"
#include "fakes/FakeDesktop.h"

#include <QTest>

using namespace tallyclock;

class TestTrappedHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportText_data();
    void reportText();
    void reportBoxStyle();
    void failingStepReportsAndGoesOn();
    void twoFailuresGiveTwoReportsInOrder();
    void failedTestRunsGovernedStatements();
    void failureInCalledProcedureUsesCallersStep();
    void failedLoopHeadEntersBody();
    void nestedHandlersKeepTheirOwnLocation();
    void programEndingPassesWithoutReport();
    void noStepRunsOnceEnding();
    void guardedSlotSwallowsEverything();
};

void TestTrappedHandler::reportText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("overflow_in_tick")
        << "Overflow" << handlerLocation("Timer1") << 102
        << QByteArray("Overflow\r\nin Tallyclock2021/08/31.Form1.Timer1 at line 102\r\r"
                      "Please email screenshot of this message to x@y.z");
    QTest::newRow("empty_description")
        << "" << handlerLocation("PushButton3_Click") << 100
        << QByteArray("\r\nin Tallyclock2021/08/31.Form1.PushButton3_Click at line 100\r\r"
                      "Please email screenshot of this message to x@y.z");
}

void TestTrappedHandler::reportText()
{
    QFETCH(QString, description);
    QFETCH(QString, location);
    QFETCH(int, line);
    QFETCH(QByteArray, expected);
    QCOMPARE(composeErrorReport(description, location, line, QStringLiteral("x@y.z")).toLatin1(),
        expected);
}

void TestTrappedHandler::reportBoxStyle()
{
    FakeDesktop desktop;
    TrappedHandler h(desktop, handlerLocation("PushButton1_Click"));
    h.step(102, [] { throw Failure(QStringLiteral("Boom")); });
    QCOMPARE(desktop.boxes.size(), 1);
    QCOMPARE(desktop.boxes[0].title, QStringLiteral("Application Error"));
    QCOMPARE(desktop.boxes[0].style, 48);
    QVERIFY(!supportAddress().isEmpty());
    QCOMPARE(desktop.boxes[0].text,
        composeErrorReport(
            QStringLiteral("Boom"), handlerLocation("PushButton1_Click"), 102, supportAddress()));
}

void TestTrappedHandler::failingStepReportsAndGoesOn()
{
    FakeDesktop desktop;
    QStringList ran;
    TrappedHandler h(desktop, handlerLocation("PushButton1_Click"));
    QVERIFY(h.step(100, [&] { ran << "100"; }));
    QVERIFY(!h.step(102, [&] {
        ran << "102";
        throw Failure(QStringLiteral("Overflow"));
        ran << "rest of 102";
    }));
    QVERIFY(h.step(104, [&] { ran << "104"; }));
    QCOMPARE(ran, (QStringList{"100", "102", "104"}));
    QCOMPARE(desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton1_Click at line 102"});
}

void TestTrappedHandler::twoFailuresGiveTwoReportsInOrder()
{
    FakeDesktop desktop;
    TrappedHandler h(desktop, handlerLocation("PushButton2_Click"));
    h.step(110, [] { throw Failure(QStringLiteral("first")); });
    h.step(112, [] { return; });
    h.step(114, [] { throw std::runtime_error("second"); });
    QCOMPARE(desktop.boxes.size(), 2);
    QVERIFY(desktop.boxes[0].text.startsWith(QLatin1String("first\r\n")));
    QVERIFY(desktop.boxes[1].text.startsWith(QLatin1String("second\r\n")));
    QCOMPARE(desktop.reportLines(),
        (QStringList{"in Tallyclock2021/08/31.Form1.PushButton2_Click at line 110",
            "in Tallyclock2021/08/31.Form1.PushButton2_Click at line 114"}));
}

void TestTrappedHandler::failedTestRunsGovernedStatements()
{
    FakeDesktop desktop;
    TrappedHandler h(desktop, handlerLocation("PushButton3_Click"));
    bool cleared = false;
    if (h.test(100, []() -> bool { throw Failure(QStringLiteral("Bad pointer")); }))
        h.step(100, [&] { cleared = true; });
    QVERIFY(cleared);
    QCOMPARE(desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton3_Click at line 100"});

    // A test that simply does not hold runs nothing and reports nothing.
    FakeDesktop quiet;
    TrappedHandler q(quiet, handlerLocation("PushButton3_Click"));
    QVERIFY(!q.test(100, [] { return false; }));
    QVERIFY(quiet.boxes.isEmpty());
}

void TestTrappedHandler::failureInCalledProcedureUsesCallersStep()
{
    FakeDesktop desktop;
    TrappedHandler h(desktop, handlerLocation("PushButton1_Click"));
    auto procedure = [](QStringList &trace) {
        trace << "before";
        throw Failure(QStringLiteral("Division by zero"));
        trace << "after";
    };
    QStringList trace;
    h.step(102, [&] { procedure(trace); });
    h.step(104, [&] { trace << "104"; });
    QCOMPARE(trace, (QStringList{"before", "104"}));
    QCOMPARE(desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton1_Click at line 102"});
}

void TestTrappedHandler::failedLoopHeadEntersBody()
{
    FakeDesktop desktop;
    TrappedHandler h(desktop, handlerLocation("PushButton4_Click"));
    QList<int> passes;
    h.forLoop(
        132, []() -> int { throw Failure(QStringLiteral("no count")); },
        [&](int i) { passes << i; });
    QCOMPARE(passes, QList<int>{0});
    QCOMPARE(desktop.reportLines().size(), 1);

    passes.clear();
    const auto count = [] { return 3; };
    h.forLoop(132, count, [&](int i) { passes << i; });
    QCOMPARE(passes, (QList<int>{1, 2, 3}));
}

void TestTrappedHandler::nestedHandlersKeepTheirOwnLocation()
{
    FakeDesktop desktop;
    TrappedHandler outer(desktop, handlerLocation("PushButton4_Click"));
    outer.step(134, [&] {
        TrappedHandler inner(desktop, handlerLocation("PushButton5_Click"));
        inner.step(114, [] { throw Failure(QStringLiteral("inner")); });
    });
    outer.step(136, [] { throw Failure(QStringLiteral("outer")); });
    QCOMPARE(desktop.reportLines(),
        (QStringList{"in Tallyclock2021/08/31.Form1.PushButton5_Click at line 114",
            "in Tallyclock2021/08/31.Form1.PushButton4_Click at line 136"}));
}

void TestTrappedHandler::programEndingPassesWithoutReport()
{
    FakeDesktop desktop;
    bool after = false;
    desktop.onYield = [&] { desktop.beginEnding(); };
    QVERIFY_THROWS_EXCEPTION(ProgramEnding, [&] {
        TrappedHandler h(desktop, handlerLocation("PushButton4_Click"));
        h.step(134, [&] { desktop.yield(); });
        after = true;
    }());
    QVERIFY(!after);
    QVERIFY(desktop.boxes.isEmpty());
}

void TestTrappedHandler::noStepRunsOnceEnding()
{
    FakeDesktop desktop;
    desktop.beginEnding();
    bool ran = false;
    QVERIFY_THROWS_EXCEPTION(ProgramEnding, [&] {
        TrappedHandler h(desktop, handlerLocation("Timer1"));
        h.step(100, [&] { ran = true; });
    }());
    QVERIFY(!ran);
    QVERIFY_THROWS_EXCEPTION(ProgramEnding, desktop.messageBox(QString(), 0, QString()));
}

void TestTrappedHandler::guardedSlotSwallowsEverything()
{
    guardedSlot([] { throw ProgramEnding(); });
    QTest::ignoreMessage(QtWarningMsg, "Tallyclock: unhandled failure in an event handler: stray");
    guardedSlot([] { throw std::runtime_error("stray"); });
}

QTEST_GUILESS_MAIN(TestTrappedHandler)
#include "tst_trappedhandler.moc"
