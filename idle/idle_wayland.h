#pragma once

#include "idlesource.h"

#include <memory>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
class QSocketNotifier;

namespace montera {

// Idle time from the Wayland compositor: ext-idle-notify-v1, or where that is
// not offered, KDE's org_kde_kwin_idle. The compositor does the timing and
// honours idle inhibitors (video players set them), so the watcher sleeps
// until it is told.
class WaylandIdleSource : public IdleSource {
    Q_OBJECT
public:
    enum class Failure { None, NoConnection, NoIdleProtocol };
    // Connects to $WAYLAND_DISPLAY; on failure returns nothing, says why in
    // `error` and tells in `failure` whether only the idle protocols were missing.
    static std::unique_ptr<WaylandIdleSource> connect(QString& error, Failure& failure);
    ~WaylandIdleSource() override;

    void startWaiting(std::chrono::milliseconds after) override;
    void stopWaiting() override;
    QString protocol() const override;

    // Called from the protocol listeners.
    void onGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void onIdled();

private:
    explicit WaylandIdleSource(wl_display* display);
    void readEvents();
    void flush();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_notifier = nullptr;
    ext_idle_notification_v1* m_notification = nullptr;
    org_kde_kwin_idle* m_kdeIdle = nullptr;
    org_kde_kwin_idle_timeout* m_kdeTimeout = nullptr;
    QSocketNotifier* m_socket = nullptr;
    bool m_ended = false;
};

} // namespace montera
