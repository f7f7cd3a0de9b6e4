// Measures a program's window from outside, as the X server sees it:
//   probe launch PROGRAM [ARGS...]   starts it; prints "PID WINDOW MAPPED PAINTED":
//                                    the ms from exec to its window mapped, and to
//                                    the window's first paint
//   probe refresh WINDOW SECONDS X Y W H
//                                    prints the intervals between paints of that
//                                    area, one per line, in ms
//   probe keys WINDOW COUNT          presses and releases Space COUNT times
//   probe key-to-paint WINDOW COUNT X Y W H
//                                    presses Space COUNT times; prints for each the
//                                    ms from the press to the first paint of the area
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const char *message)
{
    std::fprintf(stderr, "probe: %s\n", message);
    std::exit(2);
}

struct Connection
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    xcb_screen_t *screen = nullptr;

    Connection()
    {
        if (xcb_connection_has_error(c))
            fail("cannot connect to the X server");
        screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    }
    ~Connection() { xcb_disconnect(c); }

    // The next event, or null once `timeoutMs` has passed.
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> next(int timeoutMs)
    {
        // Readable is not yet an event: the bytes may be a reply, or part of an event.
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        while (!event && !xcb_connection_has_error(c)) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, int(left.count())) <= 0)
                break;
            event = xcb_poll_for_event(c);
        }
        return {event, &std::free};
    }
};

struct Area
{
    int x, y, w, h;
    bool touches(const xcb_rectangle_t &r) const
    {
        return r.x < x + w && x < r.x + r.width && r.y < y + h && y < r.y + r.height;
    }
};

// Damage reports for `window`, one per painted rectangle.
uint8_t watchPaints(Connection &x, xcb_window_t window)
{
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(x.c, &xcb_damage_id);
    if (!damage || !damage->present)
        fail("the X server has no DAMAGE extension");
    xcb_discard_reply(x.c, xcb_damage_query_version(x.c, 1, 1).sequence);
    xcb_damage_create(x.c, xcb_generate_id(x.c), window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(x.c);
    return damage->first_event + XCB_DAMAGE_NOTIFY;
}

bool paintedIn(const xcb_generic_event_t *event, uint8_t notify, const Area &area)
{
    if ((event->response_type & 0x7f) != notify)
        return false;
    return area.touches(reinterpret_cast<const xcb_damage_notify_event_t *>(event)->area);
}

void pressSpace(Connection &x, xcb_window_t window)
{
    xcb_set_input_focus(x.c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    constexpr uint8_t spaceKeycode = 65; // with the default keymap of Xvfb
    xcb_test_fake_input(x.c, XCB_KEY_PRESS, spaceKeycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(x.c, XCB_KEY_RELEASE, spaceKeycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    // A round trip: the server has taken both events when it answers.
    free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
}

int launch(char **argv)
{
    Connection x;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.c, x.screen->root, XCB_CW_EVENT_MASK, &mask);
    free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        // The program must not hold the caller's pipe open after the probe has left.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    // Paints are watched from the window's creation: a window that paints before the
    // probe has seen it mapped would otherwise report nothing.
    uint8_t notify = 0;
    xcb_window_t mappedWindow = XCB_NONE;
    double mapped = 0;
    for (;;) {
        auto event = x.next(10000);
        if (!event)
            fail(mappedWindow ? "the window was not painted within 10 s"
                              : "no window was mapped within 10 s");
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *create = reinterpret_cast<xcb_create_notify_event_t *>(event.get());
            if (!create->override_redirect)
                notify = watchPaints(x, create->window);
        } else if (type == XCB_MAP_NOTIFY && !mappedWindow) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event.get());
            if (map->override_redirect)
                continue;
            mapped = msSince(start);
            mappedWindow = map->window;
        } else if (notify && type == notify && mappedWindow
            && reinterpret_cast<xcb_damage_notify_event_t *>(event.get())->drawable
                == mappedWindow) {
            std::printf(
                "%d %u %.1f %.1f\n", int(pid), unsigned(mappedWindow), mapped, msSince(start));
            return 0;
        }
    }
}

int refresh(xcb_window_t window, double seconds, const Area &area)
{
    Connection x;
    const uint8_t notify = watchPaints(x, window);
    const Clock::time_point start = Clock::now();
    Clock::time_point last{};
    while (msSince(start) < seconds * 1000) {
        auto event = x.next(100);
        if (!event || !paintedIn(event.get(), notify, area))
            continue;
        const Clock::time_point now = Clock::now();
        // One refresh may reach the server as several rectangles.
        if (last != Clock::time_point{}) {
            const double interval = std::chrono::duration<double, std::milli>(now - last).count();
            if (interval < 2)
                continue;
            std::printf("%.3f\n", interval);
        }
        last = now;
    }
    return 0;
}

int keyToPaint(xcb_window_t window, int count, const Area &area)
{
    Connection x;
    const uint8_t notify = watchPaints(x, window);
    for (int i = 0; i < count; ++i) {
        while (x.next(0)) { } // earlier paints
        usleep(100 * 1000);
        while (x.next(0)) { }
        const Clock::time_point pressed = Clock::now();
        pressSpace(x, window);
        for (;;) {
            auto event = x.next(1000);
            if (!event)
                fail("no paint within 1 s of a key press");
            if (paintedIn(event.get(), notify, area)) {
                std::printf("%.3f\n", msSince(pressed));
                break;
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    auto area = [&](int first) {
        return Area{std::atoi(argv[first]), std::atoi(argv[first + 1]), std::atoi(argv[first + 2]),
            std::atoi(argv[first + 3])};
    };
    if (command == "launch" && argc > 2)
        return launch(argv + 2);
    if (command == "refresh" && argc == 8)
        return refresh(std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]), area(4));
    if (command == "keys" && argc == 4) {
        Connection x;
        for (int i = 0, n = std::atoi(argv[3]); i < n; ++i)
            pressSpace(x, std::strtoul(argv[2], nullptr, 0));
        return 0;
    }
    if (command == "key-to-paint" && argc == 8)
        return keyToPaint(std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]), area(4));
    std::fprintf(stderr,
        "usage: probe launch PROGRAM [ARGS...] | refresh WINDOW SECONDS X Y W H"
        " | keys WINDOW COUNT | key-to-paint WINDOW COUNT X Y W H\n");
    return 2;
}
