#include "ResultsList.h"

#include "core/Twips.h"

#include "core/Failure.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <cmath>

namespace tallyclock {

namespace {

Failure elementNotFound()
{
    return Failure(QStringLiteral("Element not found"));
}

// Lets the mouse toggle a tick but never a key: the default delegate flips the
// current row's tick on Space.
class MouseOnlyTickDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return false;
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
};

constexpr int widthRole = Qt::UserRole + 1;

} // namespace

QTreeWidgetItem *ResultEntry::item() const
{
    // Rows leave the list only all at once, through clear().
    if (m_generation != m_list->m_generation)
        throw elementNotFound();
    return m_item;
}

QString ResultEntry::Text() const
{
    return item()->text(0);
}

QString ResultEntry::SubItems(int k) const
{
    QTreeWidgetItem *row = item();
    if (k < 1 || k > m_list->columnHeaderCount() - 1)
        throw failures::invalidIndex();
    return row->text(k);
}

void ResultEntry::setSubItems(int k, const QString &text)
{
    QTreeWidgetItem *row = item();
    if (k < 1 || k > m_list->columnHeaderCount() - 1)
        throw failures::invalidIndex();
    row->setText(k, text);
}

bool ResultEntry::Checked() const
{
    return item()->checkState(0) == Qt::Checked;
}

void ResultEntry::setChecked(bool checked)
{
    item()->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void ResultEntry::EnsureVisible()
{
    m_list->m_view.scrollToItem(item());
}

int ResultEntry::Index() const
{
    return m_list->m_view.indexOfTopLevelItem(item()) + 1;
}

ResultsList::ResultsList(QTreeWidget &view)
    : m_view(view)
{
    m_view.setColumnCount(0);
    m_view.setRootIsDecorated(false);
    m_view.setUniformRowHeights(true);
    m_view.setItemsExpandable(false);
    m_view.setAllColumnsShowFocus(true);
    m_view.setSelectionMode(QAbstractItemView::SingleSelection);
    m_view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_view.header()->setMinimumSectionSize(0);
    m_view.header()->setStretchLastSection(false);
    m_view.header()->setSectionsMovable(false);
    m_view.setItemDelegate(new MouseOnlyTickDelegate(&m_view));
}

void ResultsList::checkColumn(int n) const
{
    if (n < 1 || n > columnHeaderCount())
        throw failures::invalidIndex();
}

void ResultsList::addColumnHeader(const QString &caption)
{
    const int column = columnHeaderCount();
    m_view.setColumnCount(column + 1);
    m_view.headerItem()->setText(column, caption);
}

int ResultsList::columnHeaderCount() const
{
    return m_view.columnCount();
}

QString ResultsList::columnHeaderText(int n) const
{
    checkColumn(n);
    return m_view.headerItem()->text(n - 1);
}

void ResultsList::setColumnHeaderWidth(int n, int twips)
{
    checkColumn(n);
    m_view.headerItem()->setData(n - 1, widthRole, twips);
    m_view.setColumnWidth(n - 1, twipsToPixels(twips));
}

int ResultsList::columnHeaderWidth(int n) const
{
    checkColumn(n);
    const QVariant twips = m_view.headerItem()->data(n - 1, widthRole);
    if (twips.isValid() && twipsToPixels(twips.toInt()) == m_view.columnWidth(n - 1))
        return twips.toInt();
    return m_view.columnWidth(n - 1) * twipsPerPixel;
}

ResultEntry ResultsList::addItem(const QString &text)
{
    auto *row = new QTreeWidgetItem(QStringList{text});
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
        | Qt::ItemNeverHasChildren);
    row->setCheckState(0, Qt::Unchecked);
    m_view.addTopLevelItem(row);
    return ResultEntry(this, row, m_generation);
}

int ResultsList::itemCount() const
{
    return m_view.topLevelItemCount();
}

ResultEntry ResultsList::item(int i) const
{
    if (i < 1 || i > itemCount())
        throw failures::invalidIndex();
    return ResultEntry(this, m_view.topLevelItem(i - 1), m_generation);
}

void ResultsList::clear()
{
    ++m_generation;
    m_view.clear();
}

void ResultsList::SetFocus()
{
    m_view.setFocus(Qt::OtherFocusReason);
}

} // namespace tallyclock
