#include "fakes/ActionsFixture.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ResultsFixture.h"
#include "fakes/ZipMember.h"
#include "resultactions/ClearResults.h"
#include "resultactions/ExportActivity.h"
#include "skin/PointerSetting.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace tallyclock;

class TestClearResults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clearResults_data();
    void clearResults();
    void refusedWhileAnExportRunsEvenAfterHover_data();
    void refusedWhileAnExportRunsEvenAfterHover();
};

void TestClearResults::clearResults_data()
{
    QTest::addColumn<int>("pointer");
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<int>("entriesLeft");
    QTest::newRow("default_pointer") << 0 << false << 0;
    QTest::newRow("custom_pointer") << 99 << false << 0;
    QTest::newRow("arrow") << 1 << false << 0;
    QTest::newRow("busy_hourglass") << 11 << false << 2;
    QTest::newRow("export_under_hand_pointer") << 99 << true << 2;
    QTest::newRow("export_under_default_pointer") << 0 << true << 2;
}

void TestClearResults::clearResults()
{
    QFETCH(int, pointer);
    QFETCH(bool, exporting);
    QFETCH(int, entriesLeft);
    ResultsFixture results;
    results.add(QStringLiteral("a"), QString());
    results.add(QStringLiteral("b"), QString());
    FakeDesktop desktop;
    PointerSetting setting;
    setting.set(PointerSetting::Shape(pointer));
    ExportActivity exports;
    std::optional<ExportActivity::Scope> running;
    if (exporting)
        running.emplace(exports);
    PushButton3_Click(desktop, results.list, setting, exports);
    QCOMPARE(results.list.itemCount(), entriesLeft);
    QVERIFY(desktop.boxes.isEmpty());
    PushButton3_Click(desktop, results.list, setting, exports); // again, maybe on an empty list
    QVERIFY(desktop.boxes.isEmpty());
}

void TestClearResults::refusedWhileAnExportRunsEvenAfterHover_data()
{
    QTest::addColumn<bool>("textFile");
    QTest::newRow("text_file") << true;
    QTest::newRow("spreadsheet") << false;
}

// Both exports hold the busy state: Clear Results does nothing while either reads the
// list, also once a move over Start/Stop has replaced the hourglass.
void TestClearResults::refusedWhileAnExportRunsEvenAfterHover()
{
    QFETCH(bool, textFile);
    ActionsFixture a;
    QTemporaryDir temp;
    a.desktop.tempFolder = temp.path();
    for (int i = 1; i <= 6; ++i)
        a.results.add(QStringLiteral("entry %1").arg(i), QStringLiteral("%1.000").arg(i));
    const QString target = temp.filePath(QStringLiteral("r.txt"));
    a.desktop.savePaths << target;
    bool once = true;
    a.desktop.onYield = [&] {
        if (!std::exchange(once, false))
            return;
        QCOMPARE(a.pointer.value(), 11);
        a.pointer.set(PointerSetting::Custom); // the mouse passed over Start/Stop
        a.actions.PushButton3_Click();
    };
    if (textFile)
        a.actions.PushButton4_Click();
    else
        a.actions.PushButton13_Click();
    QCOMPARE(a.results.list.itemCount(), 6);
    QVERIFY(a.desktop.boxes.isEmpty());
    if (textFile) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 6);
    } else {
        // Every entry went into the workbook, the last one too.
        QVERIFY(zipMember(a.desktop.opened.value(0), QStringLiteral("xl/sharedStrings.xml"))
                    .contains("entry 6"));
    }
    a.actions.PushButton3_Click(); // after the export
    QCOMPARE(a.results.list.itemCount(), 0);
}

QTEST_MAIN(TestClearResults)
#include "tst_clearresults.moc"
