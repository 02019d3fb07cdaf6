#include "idle_x11.h"

#include <QSocketNotifier>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace montera {

using namespace std::chrono_literals;

namespace {

// While a full-screen window holds the show off, it is looked at this often.
constexpr auto kFullScreenRecheck = 1s;
// Timers may fire a little early; a check that finds the wait not quite over
// sleeps again for what is left, so this only saves that second wake-up.
constexpr auto kTimerSlack = 20ms;

uint32_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const uint32_t atom = reply ? reply->atom : uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

std::unique_ptr<X11IdleSource> X11IdleSource::connect(QString& error)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        error = QStringLiteral("cannot open the X display %1").arg(qEnvironmentVariable("DISPLAY"));
        return nullptr;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (!extension || !extension->present) {
        xcb_disconnect(connection);
        error = QStringLiteral("the X server has no MIT-SCREEN-SAVER extension");
        return nullptr;
    }
    return std::unique_ptr<X11IdleSource>(new X11IdleSource(connection));
}

X11IdleSource::X11IdleSource(xcb_connection_t* connection)
    : m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    m_activeWindowAtom = internAtom(connection, "_NET_ACTIVE_WINDOW");
    m_stateAtom = internAtom(connection, "_NET_WM_STATE");
    m_fullScreenAtom = internAtom(connection, "_NET_WM_STATE_FULLSCREEN");
    // The watcher selects no events; the socket becomes readable when the
    // server closes the connection at the end of the session.
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &X11IdleSource::readEvents);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, this, &X11IdleSource::check);
}

X11IdleSource::~X11IdleSource()
{
    xcb_disconnect(m_connection);
}

void X11IdleSource::startWaiting(std::chrono::milliseconds after)
{
    m_after = after;
    m_heldByFullScreen = false;
    m_waitStart.start();
    check();
}

void X11IdleSource::stopWaiting()
{
    m_timer.stop();
}

void X11IdleSource::suspendServerBlanking(bool suspend)
{
    xcb_screensaver_suspend(m_connection, suspend ? 1 : 0);
    xcb_flush(m_connection);
}

void X11IdleSource::check()
{
    if (xcb_connection_has_error(m_connection))
        return readEvents();
    if (m_heldByFullScreen) {
        if (activeWindowFullScreen()) {
            m_timer.start(kFullScreenRecheck);
            return;
        }
        m_heldByFullScreen = false;
        m_waitStart.start();
    }

    xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
        m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr);
    if (!info)
        return readEvents();
    const std::chrono::milliseconds idleTime{
        std::min<qint64>(info->ms_since_user_input, m_waitStart.elapsed())};
    std::free(info);

    if (idleTime < m_after) {
        m_timer.start(m_after - idleTime + kTimerSlack);
        return;
    }
    if (activeWindowFullScreen()) {
        m_heldByFullScreen = true;
        m_timer.start(kFullScreenRecheck);
        return;
    }
    emit idle();
}

bool X11IdleSource::activeWindowFullScreen() const
{
    if (m_activeWindowAtom == XCB_ATOM_NONE || m_fullScreenAtom == XCB_ATOM_NONE)
        return false;
    xcb_get_property_reply_t* active = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_root, m_activeWindowAtom, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t window = XCB_WINDOW_NONE;
    if (active && active->format == 32 && xcb_get_property_value_length(active) >= 4)
        window = *static_cast<const xcb_window_t*>(xcb_get_property_value(active));
    std::free(active);
    if (window == XCB_WINDOW_NONE)
        return false;

    xcb_get_property_reply_t* state = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_stateAtom, XCB_ATOM_ATOM, 0, 64), nullptr);
    bool fullScreen = false;
    if (state && state->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(state));
        const int count = xcb_get_property_value_length(state) / 4;
        fullScreen = std::find(atoms, atoms + count, m_fullScreenAtom) != atoms + count;
    }
    std::free(state);
    return fullScreen;
}

void X11IdleSource::readEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
    if (xcb_connection_has_error(m_connection)) {
        m_notifier->setEnabled(false);
        m_timer.stop();
        emit ended();
    }
}

} // namespace montera
