#include "ModalCloseFilter.h"

#include <QApplication>
#include <QWidget>

#if defined(TALLYCLOCK_HAVE_XCB)
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace tallyclock {

#if defined(TALLYCLOCK_HAVE_XCB)

namespace {

std::uint32_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

ModalCloseFilter::ModalCloseFilter(QWidget &window)
    : m_window(&window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    m_protocols = internAtom(x11->connection(), "WM_PROTOCOLS");
    m_deleteWindow = internAtom(x11->connection(), "WM_DELETE_WINDOW");
    qApp->installNativeEventFilter(this);
}

bool ModalCloseFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_window || !m_protocols || !m_deleteWindow)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
    if (client->window != m_window->winId() || client->type != m_protocols
        || client->data.data32[0] != m_deleteWindow)
        return false;
    // Without a modal box Qt delivers the close request itself.
    if (!QApplication::activeModalWidget())
        return false;
    QMetaObject::invokeMethod(m_window, &QWidget::close, Qt::QueuedConnection);
    return true;
}

#else

ModalCloseFilter::ModalCloseFilter(QWidget &window)
    : m_window(&window)
{ }

bool ModalCloseFilter::nativeEventFilter(const QByteArray &, void *, qintptr *)
{
    return false;
}

#endif

ModalCloseFilter::~ModalCloseFilter()
{
    if (qApp)
        qApp->removeNativeEventFilter(this);
}

} // namespace tallyclock
