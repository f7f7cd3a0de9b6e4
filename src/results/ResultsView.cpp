#include "ResultsView.h"

#include "ResultsModel.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QStyledItemDelegate>
#ifdef TALLYCLOCK_PRIVATE_LIST_LAYOUT
#include <private/qtreeview_p.h>
#endif

namespace tallyclock {

namespace {

// Lets the mouse toggle a tick but never a key: the default delegate flips the
// current row's tick on Space.
class ResultsDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A cell too narrow for any text (the time column is one pixel wide) is painted
    // without laying out its text, which is most of the cost of painting a row.
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        // The margin the style leaves on each side of an item's text.
        const int textMargin
            = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        if (cell.rect.width() <= 2 * textMargin)
            cell.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return false;
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
};

#ifdef TALLYCLOCK_PRIVATE_LIST_LAYOUT
// The view's private part, taken as Qt's own d_func() takes it.
QTreeViewPrivate *treeView(QTreeView *view)
{
    return reinterpret_cast<QTreeViewPrivate *>(QObjectPrivate::get(view));
}
#endif

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
    setItemDelegate(new ResultsDelegate(this));
}

bool ResultsView::appendsInPlace()
{
#ifdef TALLYCLOCK_PRIVATE_LIST_LAYOUT
    return true;
#else
    return false;
#endif
}

void ResultsView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    if (parent.isValid() || !appendToLayout(start, end)) {
        QTreeView::rowsInserted(parent, start, end);
        return;
    }
    QAbstractItemView::rowsInserted(parent, start, end);
#ifdef TALLYCLOCK_PRIVATE_LIST_LAYOUT
    // Of the geometry only the scroll range changes; the header stays as it is.
    treeView(this)->updateScrollBars();
#endif
    const QRect first = visualRect(model()->index(start, 0));
    const QRect last = visualRect(model()->index(end, 0));
    viewport()->update(QRect(0, first.top(), viewport()->width(), last.bottom() - first.top() + 1));
}

// The tree view lays out every row again after an insertion, which makes filling
// the list quadratic. Rows appended at the end of a flat list of uniform rows are
// added to the layout directly, with the values the full layout gives them; in any
// other case the view lays out as usual.
bool ResultsView::appendToLayout(int start, int end)
{
#ifndef TALLYCLOCK_PRIVATE_LIST_LAYOUT
    Q_UNUSED(start);
    Q_UNUSED(end);
    return false;
#else
    QTreeViewPrivate *d = treeView(this);
    if (d->delayedPendingLayout || !uniformRowHeights() || d->viewItems.isEmpty()
        || d->viewItems.size() != start || !d->hiddenIndexes.isEmpty()
        || !d->spanningIndexes.isEmpty())
        return false;
    d->viewItems.last().hasMoreSiblings = true;
    for (int row = start; row <= end; ++row) {
        QTreeViewItem item; // a top-level row, collapsed, without children
        item.index = model()->index(row, 0);
        item.hasMoreSiblings = row < end;
        d->viewItems.append(item);
    }
    // Finding a row starts from the last one looked up: the new row is the next.
    d->lastViewedItem = end;
    return true;
#endif
}

} // namespace tallyclock
