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
    xcbRequestClose(connection, static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0)));
    // A round trip: the server has sent the request on before this client goes.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
    return 0;
}
