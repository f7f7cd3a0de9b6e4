#include "DialogSession.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

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
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
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
        || type == QEvent::NonClientAreaMouseButtonPress || type == QEvent::TouchBegin
        || type == QEvent::TabletPress;
}

template<typename List> bool holds(const List &dialogs, const QObject *o)
{
    return std::any_of(dialogs.cbegin(), dialogs.cend(), [o](const auto &d) { return d == o; });
}

} // namespace

DialogSession::DialogSession(QWidget *window, QDialog &dialog)
    : m_window(window)
    , m_dialog(&dialog)
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
    m_dialog->setWindowModality(Qt::NonModal);
    const auto finished = connect(m_dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    m_dialog->show();
    m_loop = &loop;
    if (m_dialog->isVisible())
        loop.exec();
    m_loop = nullptr;
    disconnect(finished);
    if (m_dialog)
        m_dialog->hide();
}

void DialogSession::activateCovered()
{
    qApp->removeEventFilter(this);
    QWidget *next = m_outer ? m_outer->front() : m_window.data();
    if (next && next->isVisible())
        next->activateWindow();
}

QWidget *DialogSession::front() const
{
    for (auto box = m_boxes.crbegin(); box != m_boxes.crend(); ++box) {
        if (*box && (*box)->isVisible())
            return *box;
    }
    return m_dialog;
}

bool DialogSession::isBlockedDialog(const QObject *o) const
{
    if (o == m_dialog || holds(m_boxes, o))
        return o != front();
    for (const DialogSession *s = m_outer; s; s = s->m_outer) {
        if (o == s->m_dialog || holds(s->m_boxes, o))
            return true;
    }
    return false;
}

bool DialogSession::blocks(const QObject *receiver) const
{
    const QObject *start = receiver;
    if (receiver->isWindowType()) {
        // The window system's window of one of the widgets concerned, or none of them.
        start = nullptr;
        auto shows = [receiver](const QWidget *w) {
            return w && static_cast<const QObject *>(w->windowHandle()) == receiver;
        };
        for (const DialogSession *s = this; s && !start; s = s->m_outer) {
            if (shows(s->m_window))
                start = s->m_window;
            else if (shows(s->m_dialog))
                start = s->m_dialog;
            for (const auto &box : s->m_boxes) {
                if (shows(box))
                    start = box;
            }
        }
    }
    // Up the parents, across windows: the dialog's own pop-ups are its own.
    const QWidget *allowed = front();
    for (const QObject *o = start; o; o = o->parent()) {
        if (o == allowed)
            return false;
        if (o == m_window || isBlockedDialog(o))
            return true;
    }
    return false;
}

void DialogSession::bringToFront()
{
    // A session that has begun since holds this one's dialog back in turn.
    if (innermost != this)
        return;
    if (QWidget *dialog = front(); dialog && dialog->isVisible()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

bool DialogSession::eventFilter(QObject *watched, QEvent *event)
{
    // Hidden without an answer (hide(), not done()): the wait ends, as exec()'s does.
    if (watched == m_dialog && event->type() == QEvent::Hide && m_loop)
        m_loop->quit();
    // Only the innermost session decides: the dialog of an inner one is a child of the
    // window too.
    if (innermost != this)
        return false;
    const QEvent::Type type = event->type();
    if (isInput(type)) {
        if (!blocks(watched))
            return false;
        if (isPress(type))
            bringToFront();
        return true;
    }
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    switch (type) {
    case QEvent::Show:
        // A box the dialog opens for itself with exec() would be modal again.
        if (widget->isWindow() && widget->windowModality() != Qt::NonModal && widget != m_dialog) {
            for (const QObject *o = widget->parent(); o; o = o->parent()) {
                if (o == m_dialog || holds(m_boxes, o)) {
                    widget->setWindowModality(Qt::NonModal);
                    m_boxes.append(widget);
                    break;
                }
            }
        }
        break;
    case QEvent::Close:
        // A dialog under another keeps its question open, as under a modal one.
        if (isBlockedDialog(widget)) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::WindowActivate:
        if (widget == m_window || isBlockedDialog(widget))
            QTimer::singleShot(0, this, &DialogSession::bringToFront);
        break;
    default:
        break;
    }
    return false;
}

} // namespace tallyclock
