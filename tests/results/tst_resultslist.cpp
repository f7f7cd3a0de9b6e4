#include "core/Failure.h"
#include "results/ResultsList.h"
#include "results/ResultsView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
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
    void textsKeptExactly_data();
    void textsKeptExactly();
    void appendedRowsMatchAFullLayout();
    void narrowCellPaintsAsBefore_data();
    void narrowCellPaintsAsBefore();
    void outOfRangeFails_data();
    void outOfRangeFails();
    void entryTakenBeforeClearFails();
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

void TestResultsList::textsKeptExactly_data()
{
    QTest::addColumn<QStringList>("texts");
    const QString block(32 * 1024, QLatin1Char('x'));
    QTest::newRow("empty_and_short") << QStringList{QString(), QStringLiteral("a"), QString()};
    QTest::newRow("longer_than_a_block") << QStringList{QStringLiteral("Timer started at 0.000"),
        block + QStringLiteral("yz"), QStringLiteral("Timer Lapsed at 1.000")};
    QTest::newRow("filling_blocks_exactly") << QStringList{block.left(1000), block.left(31768),
        QStringLiteral("next block"), block, QStringLiteral("after")};
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many << QStringLiteral("Timer Lapsed at %1.%2")
                    .arg(i)
                    .arg(i % 1000, 3, 10, QLatin1Char('0'));
    QTest::newRow("many_across_blocks") << many;
}

// Entries are kept side by side in large blocks; each must read back as written.
void TestResultsList::textsKeptExactly()
{
    QFETCH(QStringList, texts);
    addColumns();
    for (const QString &text : texts)
        m_list->addItem(text).setSubItems(1, text.right(5));
    QCOMPARE(m_list->itemCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(m_list->item(i + 1).Text(), texts.at(i));
        QCOMPARE(m_list->item(i + 1).SubItems(1), texts.at(i).right(5));
        QCOMPARE(m_view->model()->index(i, 0).data().toString(), texts.at(i));
    }
    m_list->clear();
    m_list->addItem(QStringLiteral("after clear"));
    QCOMPARE(m_list->item(1).Text(), QStringLiteral("after clear"));
}

// Rows appended while the list is on screen are laid out without a full layout;
// they must end up exactly where a full layout puts them.
void TestResultsList::appendedRowsMatchAFullLayout()
{
    addColumns();
    m_view->resize(520, 151);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    for (int i = 0; i < 60; ++i) {
        ResultEntry entry = m_list->addItem(QStringLiteral("Timer Lapsed at %1.000").arg(i));
        entry.setSubItems(1, QStringLiteral("%1.000").arg(i));
        entry.setChecked(true);
        entry.EnsureVisible();
        QCoreApplication::processEvents();
    }
    auto layout = [this] {
        QList<QRect> rects;
        for (int row : {0, 1, 30, 58, 59})
            rects << m_view->visualRect(m_view->model()->index(row, 0));
        const QModelIndex under = m_view->indexAt(rects.last().center());
        return std::tuple(rects, under.row(), m_view->verticalScrollBar()->maximum(),
            m_view->verticalScrollBar()->value());
    };
    const auto appended = layout();
    QCOMPARE(std::get<1>(appended), 59);
    QVERIFY(std::get<2>(appended) > 0);
    m_view->doItemsLayout();
    QCOMPARE(layout(), appended);
    // Entries added out of view, without scrolling, then one scrolled into view.
    m_list->item(1).EnsureVisible();
    for (int i = 0; i < 20; ++i)
        m_list->addItem(QStringLiteral("unseen"));
    // The view's own layout, where it is used, runs when the events are next processed.
    if (!ResultsView::appendsInPlace())
        QCoreApplication::processEvents();
    const int range = m_view->verticalScrollBar()->maximum();
    m_view->doItemsLayout();
    QCOMPARE(m_view->verticalScrollBar()->maximum(), range);
    m_list->addItem(QStringLiteral("last")).EnsureVisible();
    QCOMPARE(m_view->indexAt(m_view->visualRect(m_view->model()->index(80, 0)).center()).row(), 80);
}

void TestResultsList::narrowCellPaintsAsBefore_data()
{
    QTest::addColumn<int>("twips");
    QTest::newRow("one_pixel") << 1;
    for (int pixels : {3, 6, 7, 8, 12, 20, 40})
        QTest::addRow("%d_pixels", pixels) << pixels * 15;
}

// A cell too narrow for text skips laying it out; what is painted must not change.
void TestResultsList::narrowCellPaintsAsBefore()
{
    QFETCH(int, twips);
    addColumns();
    m_list->setColumnHeaderWidth(2, twips);
    for (const char *text : {"Timer started at 0.000", "Timer Lapsed at 12.345"}) {
        ResultEntry entry = m_list->addItem(QLatin1String(text));
        entry.setSubItems(1, QLatin1String(text).right(6));
        entry.setChecked(true);
    }
    m_view->resize(520, 151);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->setCurrentIndex(m_view->model()->index(1, 0));
    const QImage painted = m_view->viewport()->grab().toImage();
    QStyledItemDelegate plain;
    m_view->setItemDelegate(&plain);
    const QImage plainPainted = m_view->viewport()->grab().toImage();
    m_view->setItemDelegate(nullptr);
    QCOMPARE(painted, plainPainted);
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
