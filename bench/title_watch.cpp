// Waits on the X server for a top-level window to get the title given as the
// argument and prints the moment it did, in nanoseconds of the system clock,
// so that bench/show_perf.sh can time a start from exec to the window. Prints
// "ready" once it is watching. Windows are seen as they are created, without
// a window manager.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool hasTitle(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, const std::string& title)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
    if (!reply || reply->format != 8)
        return false;
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(bytes, std::size_t(xcb_get_property_value_length(reply.get()))) == title;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: title_watch TITLE\n");
        return 2;
    }
    const std::string title = argv[1];
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(c);
    std::puts("ready");
    std::fflush(stdout);

    const uint32_t windowMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    while (const Reply<xcb_generic_event_t> event{xcb_wait_for_event(c)}) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        xcb_window_t window = XCB_WINDOW_NONE;
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY:
            // The title may have been set before the watch on the window
            // began, so it is looked at once here.
            window = reinterpret_cast<xcb_create_notify_event_t*>(event.get())->window;
            xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &windowMask);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
            if (notify->atom == XCB_ATOM_WM_NAME || notify->atom == netWmName)
                window = notify->window;
            break;
        }
        default:
            break;
        }
        if (window != XCB_WINDOW_NONE &&
            (hasTitle(c, window, XCB_ATOM_WM_NAME, title) || hasTitle(c, window, netWmName, title))) {
            std::printf("%lld\n", static_cast<long long>(
                                      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            return 0;
        }
    }
    return 1;
}
