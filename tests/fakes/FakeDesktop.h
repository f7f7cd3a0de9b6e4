#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QString>

#include <functional>

namespace tallyclock {

// Records every message box and yield. OK-only boxes are answered OK; a Yes/No box
// takes the next scripted answer, and one that no test scripted fails the test.
// A yield runs `onYield`, so a test can make another event happen mid-handler.
class FakeDesktop : public Desktop
{
public:
    struct Box
    {
        QString text;
        int style;
        QString title;
    };

    QList<Box> boxes;
    QList<int> answers;
    std::function<void()> onYield;
    std::function<void(const Box &)> onBox;
    int yields = 0;

    QStringList boxTexts() const;
    // Lines "location at line N" of the error reports shown, in order.
    QStringList reportLines() const;

protected:
    int showMessageBox(const QString &text, int style, const QString &title) override;
    void processPendingEvents() override;
};

} // namespace tallyclock
