#include "DialogSession.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

namespace tallyclock {

namespace {

DialogSession *innermost = nullptr;

// What a user does with the pointer, the keys, a pen or a finger; not what the window
// system does to the window (expose, resize, close).
bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool isPress(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
        || type == QEvent::TouchBegin || type == QEvent::TabletPress;
}

} // namespace

DialogSession::DialogSession(QWidget *window, QDialog &dialog)
    : m_window(window)
    , m_dialog(dialog)
    , m_outer(innermost)
{
    innermost = this;
    qApp->installEventFilter(this);
}

DialogSession::~DialogSession()
{
    qApp->removeEventFilter(this);
    innermost = m_outer;
}

void DialogSession::exec(QEventLoop &loop)
{
    m_dialog.setWindowModality(Qt::NonModal);
    const auto finished = connect(&m_dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    m_dialog.show();
    if (m_dialog.isVisible())
        loop.exec();
    disconnect(finished);
    m_dialog.hide();
    // What the dialog covered takes the keys again, as after a modal dialog.
    QWidget *next = m_outer ? &m_outer->m_dialog : m_window.data();
    if (next && next->isVisible())
        next->activateWindow();
}

bool DialogSession::blocks(const QObject *receiver) const
{
    // Up the parents, across windows: the dialog's own pop-ups and boxes are its own.
    for (const QObject *o = receiver; o; o = o->parent()) {
        if (o == &m_dialog)
            return false;
        if (o == m_window)
            return true;
        for (const DialogSession *s = m_outer; s; s = s->m_outer) {
            if (o == &s->m_dialog)
                return true;
        }
    }
    return false;
}

bool DialogSession::eventFilter(QObject *watched, QEvent *event)
{
    // Only the innermost session decides: the dialog of an inner one is a child of the
    // window too.
    if (innermost != this || !isInput(event->type()) || !watched->isWidgetType()
        || !blocks(watched))
        return false;
    if (isPress(event->type())) {
        m_dialog.raise();
        m_dialog.activateWindow();
    }
    return true;
}

} // namespace tallyclock
