#include "ResultsList.h"

#include "ResultsModel.h"
#include "ResultsView.h"

#include "core/Failure.h"
#include "core/Twips.h"

namespace tallyclock {

int ResultEntry::row() const
{
    // Rows leave the list only all at once, through clear().
    if (m_generation != m_list->m_generation)
        throw Failure(QStringLiteral("Element not found"));
    return m_row;
}

int ResultEntry::subItemColumn(int k) const
{
    if (k < 1 || k > m_list->columnHeaderCount() - 1)
        throw failures::invalidIndex();
    return k;
}

QString ResultEntry::Text() const
{
    return m_list->m_model.text(row());
}

QString ResultEntry::SubItems(int k) const
{
    const int r = row();
    return m_list->m_model.cell(r, subItemColumn(k));
}

void ResultEntry::setSubItems(int k, const QString &text)
{
    const int r = row();
    m_list->m_model.setCell(r, subItemColumn(k), text);
}

bool ResultEntry::Checked() const
{
    return m_list->m_model.checked(row());
}

void ResultEntry::setChecked(bool checked)
{
    m_list->m_model.setChecked(row(), checked);
}

void ResultEntry::EnsureVisible()
{
    const int r = row();
    m_list->m_view.scrollTo(m_list->m_model.index(r, 0));
}

int ResultEntry::Index() const
{
    return row() + 1;
}

ResultsList::ResultsList(ResultsView &view)
    : m_view(view)
    , m_model(view.results())
{ }

void ResultsList::checkColumn(int n) const
{
    if (n < 1 || n > columnHeaderCount())
        throw failures::invalidIndex();
}

void ResultsList::addColumnHeader(const QString &caption)
{
    m_model.appendColumn(caption);
    m_widthTwips.emplace_back();
}

int ResultsList::columnHeaderCount() const
{
    return m_model.columnCount();
}

QString ResultsList::columnHeaderText(int n) const
{
    checkColumn(n);
    return m_model.caption(n - 1);
}

void ResultsList::setColumnHeaderWidth(int n, int twips)
{
    checkColumn(n);
    m_widthTwips[size_t(n - 1)] = twips;
    m_view.setColumnWidth(n - 1, twipsToPixels(twips));
}

int ResultsList::columnHeaderWidth(int n) const
{
    checkColumn(n);
    // The width as set while the user has not dragged the column to another one.
    const std::optional<int> twips = m_widthTwips[size_t(n - 1)];
    if (twips && twipsToPixels(*twips) == m_view.columnWidth(n - 1))
        return *twips;
    return m_view.columnWidth(n - 1) * twipsPerPixel;
}

ResultEntry ResultsList::addItem(const QString &text)
{
    m_model.appendRow(text);
    return ResultEntry(this, m_model.rowCount() - 1, m_generation);
}

int ResultsList::itemCount() const
{
    return m_model.rowCount();
}

ResultEntry ResultsList::item(int i) const
{
    if (i < 1 || i > itemCount())
        throw failures::invalidIndex();
    return ResultEntry(this, i - 1, m_generation);
}

void ResultsList::clear()
{
    ++m_generation;
    m_model.clearRows();
}

void ResultsList::SetFocus()
{
    m_view.setFocus(Qt::OtherFocusReason);
}

} // namespace tallyclock
