#include "ResultsText.h"

#include "core/Desktop.h"
#include "results/ResultsList.h"

#include <QList>

namespace tallyclock {

namespace {

QString cell(const ResultsList &list, int entry, int column)
{
    const ResultEntry e = list.item(entry);
    return column == 1 ? e.Text() : e.SubItems(column - 1);
}

} // namespace

QString ListViewToText(const ResultsList &list, Desktop &desktop)
{
    // Measuring: the entry count is read afresh for each column, so an entry added
    // while measuring may count for some columns and not for others.
    QList<qsizetype> widths;
    const int columns = list.columnHeaderCount();
    for (int c = 1; c <= columns; ++c) {
        const int entries = list.itemCount();
        qsizetype width = 0;
        for (int e = 1; e <= entries; ++e) {
            desktop.yield();
            width = std::max(width, cell(list, e, c).size());
        }
        widths.append(width);
    }

    // Rendering: entries added from here on are not rendered.
    QString result;
    const int entries = list.itemCount();
    for (int e = 1; e <= entries; ++e) {
        desktop.yield();
        if (!list.item(e).Checked())
            continue;
        const int lineColumns = list.columnHeaderCount();
        for (int c = 1; c <= lineColumns; ++c) {
            desktop.yield();
            const QString text = cell(list, e, c);
            const qsizetype width = c <= widths.size() ? widths[c - 1] : 0;
            result += text;
            // A cell that grew past its measured width is written unpadded.
            if (width >= text.size())
                result += QString(width - text.size(), QLatin1Char(' '));
            result += QLatin1Char('\t');
        }
        result.chop(1);
        // Only blanks: a TAB or a line end stops the trimming.
        qsizetype end = result.size();
        while (end > 0 && result.at(end - 1) == QLatin1Char(' '))
            --end;
        result.truncate(end);
        result += QStringLiteral("\r\n");
    }
    return result;
}

} // namespace tallyclock
