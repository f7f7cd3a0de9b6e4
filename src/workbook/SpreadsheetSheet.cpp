#include "SpreadsheetSheet.h"

#include "core/Failure.h"

#include <QRegularExpression>

namespace tallyclock {

bool isPlainDecimal(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    return decimal.match(text).hasMatch();
}

void SpreadsheetSheet::setCell(int row, int column, const QString &text)
{
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns)
        throw Failure(QStringLiteral("Application-defined or object-defined error"));
    m_cells.insert({row, column}, text);
}

} // namespace tallyclock
