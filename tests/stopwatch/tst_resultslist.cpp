#include "core/Failure.h"
#include "fakes/FakeDesktop.h"
#include "shell/ExportActivity.h"
#include "shell/PointerSetting.h"
#include "stopwatch/ClearResults.h"
#include "stopwatch/ResultsList.h"
#include "stopwatch/ResultsView.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTest>

using namespace tallyclock;

class TestResultsList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void columnsAndWidths();
    void entriesAreOneBased();
    void outOfRangeFails_data();
    void outOfRangeFails();
    void entryTakenBeforeClearFails();
    void clearResults_data();
    void clearResults();
    void keysNeverChangeATick_data();
    void keysNeverChangeATick();
    void mouseClearsATick();

private:
    void addColumns();
    QRect checkIndicator(int row) const;

    std::unique_ptr<ResultsView> m_view;
    std::unique_ptr<ResultsList> m_list;
};

void TestResultsList::init()
{
    m_view = std::make_unique<ResultsView>();
    m_list = std::make_unique<ResultsList>(*m_view);
}

void TestResultsList::cleanup()
{
    m_list.reset();
    m_view.reset();
}

void TestResultsList::addColumns()
{
    m_list->addColumnHeader(QStringLiteral("Result(s)"));
    m_list->addColumnHeader(QStringLiteral("Result(s)"));
    m_list->setColumnHeaderWidth(1, 4000);
    m_list->setColumnHeaderWidth(2, 1);
}

QRect TestResultsList::checkIndicator(int row) const
{
    QStyleOptionViewItem option;
    option.initFrom(m_view->viewport());
    option.rect = m_view->visualRect(m_view->model()->index(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    return m_view->style()->subElementRect(
        QStyle::SE_ItemViewItemCheckIndicator, &option, m_view.get());
}

void TestResultsList::columnsAndWidths()
{
    QCOMPARE(m_list->columnHeaderCount(), 0);
    addColumns();
    QCOMPARE(m_list->columnHeaderCount(), 2);
    QCOMPARE(m_list->columnHeaderText(1), QStringLiteral("Result(s)"));
    QCOMPARE(m_list->columnHeaderText(2), QStringLiteral("Result(s)"));
    QCOMPARE(m_list->columnHeaderWidth(1), 4000);
    QCOMPARE(m_list->columnHeaderWidth(2), 1);
    QCOMPARE(m_view->columnWidth(0), 267);
    QCOMPARE(m_view->columnWidth(1), 1); // practically hidden, but there to drag out
}

void TestResultsList::entriesAreOneBased()
{
    addColumns();
    for (const char *text :
        {"Timer Reset to 0.000", "Timer Reset to 0.000", "Timer started at 0.000"}) {
        ResultEntry entry = m_list->addItem(QLatin1String(text));
        QCOMPARE(entry.SubItems(1), QString()); // unset reads as empty
        QVERIFY(!entry.Checked());
        entry.setSubItems(1, QStringLiteral("0.000"));
        entry.setChecked(true);
        entry.EnsureVisible();
    }
    QCOMPARE(m_list->itemCount(), 3);
    QCOMPARE(m_list->item(1).Text(), QStringLiteral("Timer Reset to 0.000"));
    QCOMPARE(m_list->item(2).Text(), QStringLiteral("Timer Reset to 0.000"));
    QCOMPARE(m_list->item(3).Text(), QStringLiteral("Timer started at 0.000"));
    QCOMPARE(m_list->item(3).Index(), 3);
    QVERIFY(m_list->item(2).Checked());
    QCOMPARE(m_list->item(2).SubItems(1), QStringLiteral("0.000"));
}

void TestResultsList::outOfRangeFails_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("subItem");
    QTest::newRow("item_zero") << 0 << 1;
    QTest::newRow("item_past_end") << 3 << 1;
    QTest::newRow("subitem_zero") << 1 << 0;
    QTest::newRow("subitem_past_columns") << 1 << 2;
}

void TestResultsList::outOfRangeFails()
{
    QFETCH(int, item);
    QFETCH(int, subItem);
    addColumns();
    m_list->addItem(QStringLiteral("a"));
    m_list->addItem(QStringLiteral("b"));
    QVERIFY_THROWS_EXCEPTION(Failure, m_list->item(item).SubItems(subItem));
    QVERIFY_THROWS_EXCEPTION(Failure, m_list->columnHeaderText(3));
}

void TestResultsList::entryTakenBeforeClearFails()
{
    addColumns();
    ResultEntry held = m_list->addItem(QStringLiteral("Timer started at 0.000"));
    m_list->clear();
    QVERIFY_THROWS_EXCEPTION(Failure, held.Text());
    QVERIFY_THROWS_EXCEPTION(Failure, held.setChecked(true));
    // The columns stay, and the next entry is entry 1 again.
    QCOMPARE(m_list->columnHeaderCount(), 2);
    QCOMPARE(m_list->columnHeaderWidth(1), 4000);
    m_list->addItem(QStringLiteral("Timer Reset to 0.000"));
    QCOMPARE(m_list->item(1).Text(), QStringLiteral("Timer Reset to 0.000"));
    QVERIFY_THROWS_EXCEPTION(Failure, held.Text());
}

void TestResultsList::clearResults_data()
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

void TestResultsList::clearResults()
{
    QFETCH(int, pointer);
    QFETCH(bool, exporting);
    QFETCH(int, entriesLeft);
    addColumns();
    m_list->addItem(QStringLiteral("a"));
    m_list->addItem(QStringLiteral("b"));
    FakeDesktop desktop;
    PointerSetting setting;
    setting.set(PointerSetting::Shape(pointer));
    ExportActivity exports;
    std::optional<ExportActivity::Scope> running;
    if (exporting)
        running.emplace(exports);
    PushButton3_Click(desktop, *m_list, setting, exports);
    QCOMPARE(m_list->itemCount(), entriesLeft);
    QVERIFY(desktop.boxes.isEmpty());
    PushButton3_Click(desktop, *m_list, setting, exports); // again, maybe on an empty list
    QVERIFY(desktop.boxes.isEmpty());
}

void TestResultsList::keysNeverChangeATick_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("space") << int(Qt::Key_Space);
    QTest::newRow("select") << int(Qt::Key_Select);
    QTest::newRow("enter") << int(Qt::Key_Return);
}

void TestResultsList::keysNeverChangeATick()
{
    QFETCH(int, key);
    addColumns();
    ResultEntry entry = m_list->addItem(QStringLiteral("Timer started at 0.000"));
    entry.setChecked(true);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->setCurrentIndex(m_view->model()->index(0, 0));
    m_list->SetFocus();
    QTest::keyClick(m_view.get(), Qt::Key(key));
    QTest::keyClick(m_view.get(), Qt::Key(key));
    QTest::keyClick(m_view.get(), Qt::Key(key));
    QVERIFY(m_list->item(1).Checked());
}

void TestResultsList::mouseClearsATick()
{
    addColumns();
    m_list->addItem(QStringLiteral("Timer started at 0.000")).setChecked(true);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    const QRect box = checkIndicator(0);
    QVERIFY(box.isValid());
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(!m_list->item(1).Checked());
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(m_list->item(1).Checked());
}

QTEST_MAIN(TestResultsList)
#include "tst_resultslist.moc"
