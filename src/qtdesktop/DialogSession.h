#pragma once

#include <QList>
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
// window, and for any dialog opened before this one, is held back, a click there or
// activating it brings the dialog to the front, and a box that the dialog opens for
// itself (the save dialog's warnings) is made non-modal and blocks the dialog in turn.
class DialogSession final : public QObject
{
public:
    // `window` may be null: then only the dialogs of outer sessions are blocked.
    DialogSession(QWidget *window, QDialog &dialog);
    ~DialogSession() override;
    DialogSession(const DialogSession &) = delete;
    DialogSession &operator=(const DialogSession &) = delete;

    // Shows the dialog and runs `loop` until the dialog is finished, or until someone
    // else quits the loop (the program is ending).
    void exec(QEventLoop &loop);
    // Gives the keys back to what the dialog covered, as after a modal dialog.
    void activateCovered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The dialog that takes input now: the session's, or a box it opened.
    QWidget *front() const;
    // Whether `receiver` (a widget, or a widget's window) is held back.
    bool blocks(const QObject *receiver) const;
    bool isBlockedDialog(const QObject *o) const;
    void bringToFront();

    QPointer<QWidget> m_window;
    QPointer<QDialog> m_dialog;
    // Boxes the dialog opened for itself, innermost last.
    QList<QPointer<QWidget>> m_boxes;
    // The session under way when this one began; it is blocked until this one ends.
    DialogSession *m_outer;
    QEventLoop *m_loop = nullptr;
};

} // namespace tallyclock
