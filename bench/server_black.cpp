// The floor under the show's start on large screens: how long the X server
// takes to fill windows with black, as it does for the show window and each
// black cover. Maps one black window of WIDTHxHEIGHT per screen side by side,
// waits until the server has painted them all, and prints the median of
// ROUNDS such fills in milliseconds. Usage: server_black WIDTHxHEIGHT SCREENS [ROUNDS]

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double fillOnce(xcb_connection_t* c, xcb_screen_t* screen, int width, int height, int screens)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < screens; ++i) {
        const xcb_window_t window = xcb_generate_id(c);
        const uint32_t values[] = {screen->black_pixel, 1, XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(i * width), 0,
                          uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c, window);
        windows.push_back(window);
    }
    xcb_flush(c);
    // The server sends the exposures once it has painted each window.
    for (int exposed = 0; exposed < screens;) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            break;
        if ((event->response_type & 0x7F) == XCB_EXPOSE &&
            reinterpret_cast<xcb_expose_event_t*>(event)->count == 0)
            ++exposed;
        std::free(event);
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    for (const xcb_window_t window : windows)
        xcb_destroy_window(c, window);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    int width = 0;
    int height = 0;
    if (argc < 3 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: server_black WIDTHxHEIGHT SCREENS [ROUNDS]\n");
        return 2;
    }
    const int screens = std::max(1, std::atoi(argv[2]));
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "server_black: no X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i)
        times.push_back(fillOnce(c, screen, width, height, screens));
    std::sort(times.begin(), times.end());
    std::printf("%.2f\n", times[times.size() / 2]);
    xcb_disconnect(c);
    return 0;
}
