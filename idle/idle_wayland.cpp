#include "idle_wayland.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace montera {

namespace {

WaylandIdleSource* sourceOf(void* data)
{
    return static_cast<WaylandIdleSource*>(data);
}

const wl_registry_listener kRegistryListener = {
    .global = [](void* data, wl_registry* registry, uint32_t name, const char* interface,
                 uint32_t version) { sourceOf(data)->onGlobal(registry, name, interface, version); },
    .global_remove = [](void*, wl_registry*, uint32_t) {},
};

const ext_idle_notification_v1_listener kNotificationListener = {
    .idled = [](void* data, ext_idle_notification_v1*) { sourceOf(data)->onIdled(); },
    .resumed = [](void*, ext_idle_notification_v1*) {},
};

const org_kde_kwin_idle_timeout_listener kKdeTimeoutListener = {
    .idle = [](void* data, org_kde_kwin_idle_timeout*) { sourceOf(data)->onIdled(); },
    .resumed = [](void*, org_kde_kwin_idle_timeout*) {},
};

} // namespace

std::unique_ptr<WaylandIdleSource> WaylandIdleSource::connect(QString& error, Failure& failure)
{
    failure = Failure::NoConnection;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        error = QStringLiteral("cannot connect to the Wayland display %1")
                    .arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
        return nullptr;
    }
    std::unique_ptr<WaylandIdleSource> source(new WaylandIdleSource(display));
    if (wl_display_roundtrip(display) < 0) {
        error = QStringLiteral("the Wayland display closed the connection");
        return nullptr;
    }
    if (!source->m_seat) {
        error = QStringLiteral("the Wayland compositor offers no seat");
        return nullptr;
    }
    if (!source->m_notifier && !source->m_kdeIdle) {
        failure = Failure::NoIdleProtocol;
        error = QStringLiteral(
            "the Wayland compositor offers neither ext_idle_notifier_v1 nor org_kde_kwin_idle");
        return nullptr;
    }
    failure = Failure::None;
    return source;
}

QString WaylandIdleSource::protocol() const
{
    return QLatin1String(m_notifier ? ext_idle_notifier_v1_interface.name : org_kde_kwin_idle_interface.name);
}

WaylandIdleSource::WaylandIdleSource(wl_display* display)
    : m_display(display)
{
    m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    m_socket = new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, this);
    QObject::connect(m_socket, &QSocketNotifier::activated, this, &WaylandIdleSource::readEvents);
}

WaylandIdleSource::~WaylandIdleSource()
{
    stopWaiting();
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_kdeIdle)
        org_kde_kwin_idle_destroy(m_kdeIdle);
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandIdleSource::onGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !m_notifier) {
        m_notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !m_kdeIdle) {
        m_kdeIdle = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !m_seat) {
        m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void WaylandIdleSource::startWaiting(std::chrono::milliseconds after)
{
    // A fresh notification object starts the compositor's count from now.
    stopWaiting();
    const auto timeout = static_cast<uint32_t>(after.count());
    if (m_notifier) {
        m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, timeout, m_seat);
        ext_idle_notification_v1_add_listener(m_notification, &kNotificationListener, this);
    } else {
        m_kdeTimeout = org_kde_kwin_idle_get_idle_timeout(m_kdeIdle, m_seat, timeout);
        org_kde_kwin_idle_timeout_add_listener(m_kdeTimeout, &kKdeTimeoutListener, this);
    }
    flush();
}

void WaylandIdleSource::stopWaiting()
{
    if (m_notification)
        ext_idle_notification_v1_destroy(m_notification);
    if (m_kdeTimeout)
        org_kde_kwin_idle_timeout_release(m_kdeTimeout);
    m_notification = nullptr;
    m_kdeTimeout = nullptr;
    flush();
}

void WaylandIdleSource::onIdled()
{
    emit idle();
}

void WaylandIdleSource::flush()
{
    if (m_ended)
        return;
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN)
        readEvents();
}

void WaylandIdleSource::readEvents()
{
    if (m_ended)
        return;
    // The notifier saw data (or the end of the connection), so dispatching
    // does not block.
    if (wl_display_dispatch(m_display) >= 0 && wl_display_flush(m_display) >= 0)
        return;
    if (errno == EAGAIN)
        return;
    m_ended = true;
    m_socket->setEnabled(false);
    emit ended();
}

} // namespace montera
