#pragma once

#include <QObject>
#include <QPointer>

class QDialog;
class QEventLoop;
class QWidget;

namespace tallyclock {

// A message box or the save dialog, shown over the window and waited for as
// QDialog::exec() does, but not modal in Qt's sense: Qt drops the close request for a
// window that a modal dialog blocks, and the window's close button must end the
// program while a box is open too. The session blocks the window itself: input for the
// window, and for any dialog opened before this one, is held back, and a click there
// brings the dialog to the front.
class DialogSession final : public QObject
{
public:
    // `window` may be null: then nothing is blocked.
    DialogSession(QWidget *window, QDialog &dialog);
    ~DialogSession() override;
    DialogSession(const DialogSession &) = delete;
    DialogSession &operator=(const DialogSession &) = delete;

    // Shows the dialog and runs `loop` until the dialog is finished, or until someone
    // else quits the loop (the program is ending).
    void exec(QEventLoop &loop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool blocks(const QObject *receiver) const;

    QPointer<QWidget> m_window;
    QDialog &m_dialog;
    // The session under way when this one began; it is blocked until this one ends.
    DialogSession *m_outer;
};

} // namespace tallyclock
