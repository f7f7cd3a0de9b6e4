#pragma once

#include <QTreeView>

namespace tallyclock {

class ResultsModel;

// The results list on screen: a report view with a header, ticks in the first
// column and one row per entry, all of one height. Appending a row costs the same
// at any length of the list, on the Qt versions whose private layout the build
// checked (see src/CMakeLists.txt); elsewhere the view lays out every row again.
class ResultsView final : public QTreeView
{
    Q_OBJECT

public:
    explicit ResultsView(QWidget *parent = nullptr);

    ResultsModel &results() const { return *m_model; }

    // Whether this build adds appended rows to the layout at once (on the Qt versions
    // it was checked with) instead of laying out the view when events are next handled.
    static bool appendsInPlace();

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;

private:
    // Adds appended rows to the view's layout; false when the view must lay out.
    bool appendToLayout(int start, int end);

    ResultsModel *m_model;
};

} // namespace tallyclock
