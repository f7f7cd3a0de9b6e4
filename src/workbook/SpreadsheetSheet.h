#pragma once

#include <QMap>
#include <QPair>
#include <QString>

namespace tallyclock {

// The cells of one worksheet as the program assigned them, 1-based.
class SpreadsheetSheet
{
public:
    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 16384;

    // Assigns a text value; the sheet makes a number of a text that reads as a plain
    // decimal, as a spreadsheet program does with typed text. Fails outside the sheet.
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const { return m_cells.value({row, column}); }

    // Each column's width from its longest text.
    void autoFitColumns() { m_autoFit = true; }
    bool autoFit() const { return m_autoFit; }

    const QMap<QPair<int, int>, QString> &cells() const { return m_cells; }

private:
    QMap<QPair<int, int>, QString> m_cells;
    bool m_autoFit = false;
};

// Whether the text reads as a plain decimal number: digits with at most one point,
// an optional sign, nothing else.
bool isPlainDecimal(const QString &text);

} // namespace tallyclock
