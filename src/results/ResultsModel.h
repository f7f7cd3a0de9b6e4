#pragma once

#include "TextStore.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <deque>
#include <map>

namespace tallyclock {

// The results as rows of text: the entry, its sub-items and its tick. Rows are only
// ever appended, one at a time, or all removed at once; both cost the same at any
// length of the list.
class ResultsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void appendColumn(const QString &caption);
    QString caption(int column) const { return m_captions.at(column); }

    // Rows by 0-based number; the caller keeps the number in range.
    void appendRow(const QString &text);
    QString text(int row) const { return m_texts.get(m_rows[size_t(row)].text); }
    // Column 0 is the entry itself; unset columns read as "".
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    bool checked(int row) const { return m_rows[size_t(row)].checked; }
    void setChecked(int row, bool checked);
    void clearRows();

private:
    struct Row
    {
        TextStore::Ref text;
        // The second column is held in the row: it is the only one the stopwatch fills.
        TextStore::Ref firstSubItem;
        bool checked = false;
    };

    void cellChanged(int row, int column, Qt::ItemDataRole role);

    std::deque<Row> m_rows;
    TextStore m_texts;
    // Columns 3 and on, by row.
    std::map<int, QStringList> m_laterSubItems;
    QStringList m_captions;
};

} // namespace tallyclock
