#include "ResultsView.h"

#include "ResultsModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <private/qtreeview_p.h>

namespace tallyclock {

namespace {

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

} // namespace

ResultsView::ResultsView(QWidget *parent)
    : QTreeView(parent)
    , m_model(new ResultsModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setMinimumSectionSize(0);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setItemDelegate(new MouseOnlyTickDelegate(this));
}

void ResultsView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    if (!parent.isValid() && appendToLayout(start, end)) {
        QAbstractItemView::rowsInserted(parent, start, end);
        updateGeometries();
        const QRect first = visualRect(model()->index(start, 0));
        const QRect last = visualRect(model()->index(end, 0));
        viewport()->update(
            QRect(0, first.top(), viewport()->width(), last.bottom() - first.top() + 1));
        return;
    }
    QTreeView::rowsInserted(parent, start, end);
}

// The tree view lays out every row again after an insertion, which makes filling
// the list quadratic. Rows appended at the end of a flat list of uniform rows are
// added to the layout directly, with the values the full layout gives them; in any
// other case the view lays out as usual.
bool ResultsView::appendToLayout(int start, int end)
{
    auto *d = static_cast<QTreeViewPrivate *>(QObjectPrivate::get(this));
    if (d->delayedPendingLayout || !uniformRowHeights() || d->viewItems.isEmpty()
        || d->viewItems.size() != start || !d->hiddenIndexes.isEmpty()
        || !d->spanningIndexes.isEmpty())
        return false;
    d->viewItems.last().hasMoreSiblings = true;
    d->viewItems.reserve(end + 1);
    for (int row = start; row <= end; ++row) {
        QTreeViewItem item; // a top-level row, collapsed, without children
        item.index = model()->index(row, 0);
        item.hasMoreSiblings = row < end;
        d->viewItems.append(item);
    }
    // Finding a row starts from the last one looked up: the new row is the next.
    d->lastViewedItem = end;
    return true;
}

} // namespace tallyclock
