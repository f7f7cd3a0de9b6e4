#include "QtDesktop.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

namespace tallyclock {

int QtDesktop::showMessageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(m_window);
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    if (style & MessageStyle::Exclamation)
        box.setIcon(QMessageBox::Warning);
    if ((style & 0x0F) == MessageStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    switch (pressed) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

void QtDesktop::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace tallyclock
