// Sends an X window the request that a click on its close button sends:
//   close_request WINDOW_ID
#include "XcbAtom.h"

#include <xcb/xcb.h>

#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    event.type = xcbAtom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = xcbAtom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
        reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
    xcb_disconnect(connection);
    return 0;
}
