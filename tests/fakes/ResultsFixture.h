#pragma once

#include "results/ResultsList.h"
#include "results/ResultsView.h"

#include <QStringList>

namespace tallyclock {

// A results list with its two columns, filled from "text|time|ticked" rows.
struct ResultsFixture
{
    ResultsView view;
    ResultsList list{view};

    explicit ResultsFixture(int columns = 2)
    {
        for (int c = 0; c < columns; ++c)
            list.addColumnHeader(QStringLiteral("Result(s)"));
    }

    void add(const QString &text, const QString &time, bool ticked = true)
    {
        ResultEntry entry = list.addItem(text);
        if (list.columnHeaderCount() > 1)
            entry.setSubItems(1, time);
        entry.setChecked(ticked);
    }

    // An entry as the stopwatch writes it: the words followed by the time.
    void action(const QString &words, const QString &time, bool ticked = true)
    {
        add(words + time, time, ticked);
    }
};

} // namespace tallyclock
