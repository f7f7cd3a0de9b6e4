#pragma once

#include <QLabel>

namespace tallyclock {

// The large time display. A screen reader that asks for it hears the current time,
// but the refresh 40 times a second announces nothing: the label has a fixed
// accessible name, and its own accessibility interface reads the digits on demand.
class TimeDisplay : public QLabel
{
    Q_OBJECT

public:
    explicit TimeDisplay(QWidget *parent = nullptr);

    // Makes Qt's accessibility use the interface above for every TimeDisplay.
    static void installAccessibility();
};

} // namespace tallyclock
