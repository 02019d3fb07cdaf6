#include "platform_qt.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace montera {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* connection()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

struct TitleSearch {
    xcb_connection_t* c;
    xcb_atom_t netWmName;
    xcb_atom_t utf8String;
    std::string utf8;
    QString title;

    bool matches(xcb_get_property_reply_t* reply) const
    {
        if (!reply || reply->format != 8) {
            return false;
        }
        const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
        const int length = xcb_get_property_value_length(reply);
        if (reply->type == utf8String) {
            return std::string(bytes, std::size_t(length)) == utf8;
        }
        if (reply->type == XCB_ATOM_STRING) {
            return QString::fromLatin1(bytes, length) == title;
        }
        return false;
    }

    // Looks at the window's children, then at their children: a window
    // manager puts each top-level window into a frame of its own.
    xcb_window_t search(xcb_window_t parent, int depth) const
    {
        const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
        if (!tree) {
            return XCB_WINDOW_NONE;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        const uint32_t maxLength = uint32_t(utf8.size() / 4 + 2);
        std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> cookies;
        cookies.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i) {
            cookies.emplace_back(
                xcb_get_property(c, 0, children[i], netWmName, XCB_GET_PROPERTY_TYPE_ANY, 0, maxLength),
                xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                 maxLength));
        }
        xcb_window_t found = XCB_WINDOW_NONE;
        for (int i = 0; i < count; ++i) {
            const Reply<xcb_get_property_reply_t> netName(
                xcb_get_property_reply(c, cookies[std::size_t(i)].first, nullptr));
            const Reply<xcb_get_property_reply_t> name(
                xcb_get_property_reply(c, cookies[std::size_t(i)].second, nullptr));
            if (found == XCB_WINDOW_NONE && (matches(netName.get()) || matches(name.get()))) {
                found = children[i];
            }
        }
        for (int i = 0; found == XCB_WINDOW_NONE && depth > 1 && i < count; ++i) {
            found = search(children[i], depth - 1);
        }
        return found;
    }
};

} // namespace

WindowHandle X11Platform::findWindow(std::u16string_view title)
{
    xcb_connection_t* c = connection();
    if (!c) {
        return 0;
    }
    const QString text = QString::fromUtf16(title.data(), qsizetype(title.size()));
    const TitleSearch search{c, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), text.toStdString(), text};
    return search.search(rootWindow(c), 3);
}

void X11Platform::setWindowTopmost(WindowHandle window, int x, int y, int width, int height)
{
    xcb_connection_t* c = connection();
    if (!c || window == 0) {
        return;
    }
    const auto id = xcb_window_t(window);
    const uint32_t values[] = {uint32_t(x), uint32_t(y), uint32_t(width), uint32_t(height),
                               XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         values);
    // A window manager keeps the window above the others when asked through
    // its state; without one the stacking above is enough.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atom(c, "_NET_WM_STATE");
    event.data.data32[0] = 1; // add
    event.data.data32[1] = atom(c, "_NET_WM_STATE_ABOVE");
    event.data.data32[3] = 1; // asked for by an application
    xcb_send_event(c, 0, rootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_map_window(c, id);
    xcb_flush(c);
}

bool X11Platform::fillWithBlack(WindowHandle window)
{
    xcb_connection_t* c = connection();
    if (!c || window == 0) {
        return false;
    }
    // The server paints every exposed part of the window in its background
    // pixel before telling the program, so the black never passes through
    // the program's memory nor its connection.
    const uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(c)).data->black_pixel;
    xcb_change_window_attributes(c, xcb_window_t(window), XCB_CW_BACK_PIXEL, &black);
    return true;
}

void X11Platform::paintBlack(WindowHandle window)
{
    if (!fillWithBlack(window))
        return;
    xcb_connection_t* c = connection();
    xcb_clear_area(c, 0, xcb_window_t(window), 0, 0, 0, 0);
    xcb_flush(c);
}

bool X11Platform::fillsWithBlack() const
{
    return connection() != nullptr;
}

} // namespace montera
