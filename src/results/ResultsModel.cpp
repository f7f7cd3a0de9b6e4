#include "ResultsModel.h"

namespace tallyclock {

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return checked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool ResultsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // Only the tick is changed through the view (by the mouse).
    if (role != Qt::CheckStateRole || index.column() != 0
        || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
        | Qt::ItemNeverHasChildren;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_captions.size()
        && (role == Qt::DisplayRole || role == Qt::EditRole))
        return m_captions.at(section);
    return {};
}

void ResultsModel::appendColumn(const QString &caption)
{
    const int column = static_cast<int>(m_captions.size());
    beginInsertColumns({}, column, column);
    m_captions.append(caption);
    endInsertColumns();
}

void ResultsModel::appendRow(const QString &text)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.push_back(Row{m_texts.add(text), {}, false});
    endInsertRows();
}

QString ResultsModel::cell(int row, int column) const
{
    const Row &r = m_rows[size_t(row)];
    if (column == 0)
        return m_texts.get(r.text);
    if (column == 1)
        return m_texts.get(r.firstSubItem);
    const auto later = m_laterSubItems.find(row);
    return later == m_laterSubItems.end() ? QString() : later->second.value(column - 2);
}

void ResultsModel::setCell(int row, int column, const QString &text)
{
    // A replaced text stays in the store until the list is cleared.
    Row &r = m_rows[size_t(row)];
    if (column == 0) {
        r.text = m_texts.add(text);
    } else if (column == 1) {
        r.firstSubItem = m_texts.add(text);
    } else {
        QStringList &later = m_laterSubItems[row];
        while (later.size() < column - 1)
            later.append(QString());
        later[column - 2] = text;
    }
    cellChanged(row, column, Qt::DisplayRole);
}

void ResultsModel::setChecked(int row, bool checked)
{
    Row &r = m_rows[size_t(row)];
    if (r.checked == checked)
        return;
    r.checked = checked;
    cellChanged(row, 0, Qt::CheckStateRole);
}

void ResultsModel::clearRows()
{
    beginResetModel();
    std::deque<Row>().swap(m_rows);
    m_texts.clear();
    m_laterSubItems.clear();
    endResetModel();
}

void ResultsModel::cellChanged(int row, int column, Qt::ItemDataRole role)
{
    if (column < columnCount()) {
        const QModelIndex changed = index(row, column);
        Q_EMIT dataChanged(changed, changed, {role});
    }
}

} // namespace tallyclock
