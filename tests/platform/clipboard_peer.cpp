// Another X program for the clipboard tests:
//   clipboard_peer busy      takes the CLIPBOARD selection every 2 ms
//   clipboard_peer manager   owns CLIPBOARD_MANAGER and never answers a request
// It runs until it is killed.
#include "XcbAtom.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, 0, window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);

    if (std::strcmp(argv[1], "manager") == 0) {
        xcb_set_selection_owner(
            connection, window, xcbAtom(connection, "CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
        xcb_flush(connection);
        while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
            std::free(event); // never answered
        return 0;
    }
    const xcb_atom_t clipboard = xcbAtom(connection, "CLIPBOARD");
    for (;;) {
        xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
        xcb_flush(connection);
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            std::free(event);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
