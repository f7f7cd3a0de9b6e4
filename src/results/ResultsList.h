#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tallyclock {

class ResultsList;
class ResultsModel;
class ResultsView;

// One row of the results list, held for the length of one read or one add. Every
// call fails once the row has left the list (the list was cleared meanwhile).
class ResultEntry
{
public:
    QString Text() const;
    // Column k + 1; k runs from 1 to the column count - 1. Unset reads as "".
    QString SubItems(int k) const;
    void setSubItems(int k, const QString &text);
    bool Checked() const;
    void setChecked(bool checked);
    void EnsureVisible();
    int Index() const;

private:
    friend class ResultsList;
    ResultEntry(const ResultsList *list, int row, std::uint64_t generation)
        : m_list(list)
        , m_row(row)
        , m_generation(generation)
    { }
    // The row's 0-based number in the model.
    int row() const;
    int subItemColumn(int k) const;

    const ResultsList *m_list;
    int m_row;
    std::uint64_t m_generation;
};

// The results list on its view: column headers and entries, 1-based. Ticks
// show as boxes that the mouse can clear; no key changes a tick (Space reaches the
// list after every Start/Stop from the keyboard).
class ResultsList
{
public:
    explicit ResultsList(ResultsView &view);

    // ColumnHeaders
    void addColumnHeader(const QString &caption);
    int columnHeaderCount() const;
    QString columnHeaderText(int n) const;
    void setColumnHeaderWidth(int n, int twips);
    int columnHeaderWidth(int n) const;

    // ListItems
    ResultEntry addItem(const QString &text);
    int itemCount() const;
    ResultEntry item(int i) const;
    void clear();

    void SetFocus();

private:
    friend class ResultEntry;
    void checkColumn(int n) const;

    ResultsView &m_view;
    ResultsModel &m_model;
    // Each column's width as last set, in twips.
    std::vector<std::optional<int>> m_widthTwips;
    // Bumped by every clear, so that entries taken before it fail instead of
    // touching rows that no longer exist.
    std::uint64_t m_generation = 0;
};

} // namespace tallyclock
