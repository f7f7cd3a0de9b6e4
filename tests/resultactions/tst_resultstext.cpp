#include "core/Failure.h"
#include "fakes/ActionsFixture.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ResultsFixture.h"
#include "resultactions/Clipboard.h"
#include "resultactions/ResultsText.h"

#include <QTest>

using namespace tallyclock;

class TestResultsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void render_data();
    void render();
    void entryAddedWhileMeasuring();
    void entryAddedWhileRenderingIsLeftOut();
    void clearWhileRenderingFails();
    void clipboard_data();
    void clipboard();
    void clipboardClearedDuringCopy();
};

void TestResultsText::render_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("rows"); // text|time|ticked
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("two_entries_example")
        << 2 << QStringList{"Timer started at 0.000|0.000|1", "Timer stopped at 12.345|12.345|1"}
        << QByteArray("Timer started at 0.000 \t0.000\r\nTimer stopped at 12.345\t12.345\r\n");
    QTest::newRow("single_entry") << 2 << QStringList{"Timer Reset to 0.000|0.000|1"}
                                  << QByteArray("Timer Reset to 0.000\t0.000\r\n");
    QTest::newRow("unticked_entry_widens_padding")
        << 2 << QStringList{"Lap started at 0.000|0.000|1", "Timer resumed at 1234.500|1234.500|0"}
        << QByteArray("Lap started at 0.000     \t0.000\r\n");
    QTest::newRow("all_unticked") << 2 << QStringList{"a|1|0", "b|2|0"} << QByteArray();
    QTest::newRow("blanks_kept_in_first_column_dropped_at_end")
        << 2 << QStringList{"ab  |x  |1", "abcdef|y|1"} << QByteArray("ab    \tx\r\nabcdef\ty\r\n");
    QTest::newRow("empty_last_cell_ends_with_tab")
        << 2 << QStringList{"abc||1", "abcde|  |1"} << QByteArray("abc  \t\r\nabcde\t\r\n");
    QTest::newRow("equal_lengths_no_blanks")
        << 2 << QStringList{"Timer Reset to 0.000|0.000|1", "Timer Reset to 0.000|0.000|1"}
        << QByteArray("Timer Reset to 0.000\t0.000\r\nTimer Reset to 0.000\t0.000\r\n");
    QTest::newRow("one_column_trailing_blanks")
        << 1 << QStringList{"abc  ||1", "||1"} << QByteArray("abc\r\n\r\n");
}

void TestResultsText::render()
{
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    QFETCH(QByteArray, expected);
    ResultsFixture f(columns);
    for (const QString &row : rows) {
        const QStringList parts = row.split(QLatin1Char('|'));
        f.add(parts[0], parts[1], parts[2] == QLatin1String("1"));
    }
    FakeDesktop desktop;
    QCOMPARE(ListViewToText(f.list, desktop).toLatin1(), expected);
}

void TestResultsText::entryAddedWhileMeasuring()
{
    // Added during the first column's pass: it is rendered, but its first cell is longer
    // than the width measured without it, so it goes out unpadded.
    ResultsFixture f;
    f.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    FakeDesktop desktop;
    int yields = 0;
    desktop.onYield = [&] {
        if (++yields == 1)
            f.action(QStringLiteral("Timer Lapsed at "), QStringLiteral("12345.678"));
    };
    QCOMPARE(ListViewToText(f.list, desktop).toLatin1(),
        QByteArray("Timer started at 0.000\t0.000\r\nTimer Lapsed at 12345.678\t12345.678\r\n"));
}

void TestResultsText::entryAddedWhileRenderingIsLeftOut()
{
    ResultsFixture f;
    f.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    FakeDesktop desktop;
    int yields = 0;
    // One column measured per yield: 2 yields measure, the third starts the rendering.
    desktop.onYield = [&] {
        if (++yields == 3)
            f.action(QStringLiteral("Timer stopped at "), QStringLiteral("1.000"));
    };
    QCOMPARE(ListViewToText(f.list, desktop), QStringLiteral("Timer started at 0.000\t0.000\r\n"));
}

void TestResultsText::clearWhileRenderingFails()
{
    ResultsFixture f;
    f.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    f.action(QStringLiteral("Timer stopped at "), QStringLiteral("1.000"));
    FakeDesktop desktop;
    desktop.onYield = [&] { f.list.clear(); };
    QVERIFY_THROWS_EXCEPTION(Failure, ListViewToText(f.list, desktop));
}

void TestResultsText::clipboard_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("busyFor");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("setAttempts");
    const QString text = QStringLiteral("Timer started at 0.000\t0.000\r\n");
    QTest::newRow("free") << 1 << 0 << text << 1;
    // The clear takes 999 failures, its 1000th attempt works; the set then works at once.
    QTest::newRow("held_999_times") << 1 << 999 << text << 1;
    QTest::newRow("held_throughout") << 1 << 1'000'000 << QStringLiteral("held before") << 1000;
    QTest::newRow("empty_list_untouched") << 0 << 0 << QStringLiteral("held before") << 0;
}

void TestResultsText::clipboard()
{
    QFETCH(int, entries);
    QFETCH(int, busyFor);
    QFETCH(QString, clipboard);
    QFETCH(int, setAttempts);
    ActionsFixture f;
    if (entries)
        f.results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    FakeDesktop &desktop = f.desktop;
    desktop.clipboardBusyFor = busyFor;
    f.actions.PushButton6_Click();
    QCOMPARE(desktop.clipboard, clipboard);
    QCOMPARE(desktop.setAttempts, setAttempts);
    QCOMPARE(desktop.clearAttempts, entries ? std::min(busyFor + 1, 1000) : 0);
    // No report, and the confirmation is always shown.
    QCOMPARE(desktop.boxes.size(), 1);
    QCOMPARE(desktop.boxes[0].title, QStringLiteral("Tallyclock"));
    QCOMPARE(desktop.boxes[0].style, 0);
    QCOMPARE(desktop.boxes[0].text.toLatin1(),
        QByteArray("Results have been copied to the clipboard.\r\rClick a text area where "
                   "you normally type and press Ctrl+V to paste the clipboard."));
}

void TestResultsText::clipboardClearedDuringCopy()
{
    ActionsFixture f;
    f.results.action(QStringLiteral("Timer started at "), QStringLiteral("0.000"));
    FakeDesktop &desktop = f.desktop;
    desktop.onYield = [&] { f.results.list.clear(); };
    f.actions.PushButton6_Click();
    QCOMPARE(desktop.clipboard, QStringLiteral("held before"));
    QCOMPARE(desktop.reportLines(),
        QStringList{"in Tallyclock2021/08/31.Form1.PushButton6_Click at line 106"});
    QCOMPARE(desktop.boxes.size(), 2);
    QCOMPARE(desktop.boxes[1].text, clipboardConfirmation());
}

QTEST_MAIN(TestResultsText)
#include "tst_resultstext.moc"
