#pragma once

#include "idlesource.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <memory>

class QDBusMessage;

namespace montera {

// Idle time from GNOME's compositor over the session bus
// (org.gnome.Mutter.IdleMonitor), for GNOME on Wayland, which offers no
// Wayland idle protocol. Mutter counts from the last input and pauses its
// watches while gnome-session holds the idle flag, so the watcher sleeps
// until a watch fires: an idle watch at the idle time so far plus the wait,
// and until the next input a user-active watch, after which the idle watch
// is the wait itself. The user-active watch is added before the idle time
// is read, so that no input between the two goes unseen.
class MutterIdleSource : public IdleSource {
    Q_OBJECT
public:
    // Connects to the session bus; returns nothing when no one there offers
    // the idle monitor, and says why in `error`.
    static std::unique_ptr<MutterIdleSource> connect(QString& error);
    ~MutterIdleSource() override;

    void startWaiting(std::chrono::milliseconds after) override;
    void stopWaiting() override;
    QString protocol() const override { return QStringLiteral("org.gnome.Mutter.IdleMonitor"); }

private slots:
    void onWatchFired(uint id);

private:
    explicit MutterIdleSource(QDBusConnection bus);
    QDBusMessage call(const QString& method, const QVariantList& arguments) const;
    // Adds a watch and keeps its number in `watch`, unless the counter
    // `number` (m_wait or m_idleArm) has moved on by the reply: then the
    // watch is no longer wanted and is removed at once.
    void addWatch(const QString& method, const QVariantList& arguments, uint& watch, const quint64& number);
    // Replaces the idle watch with one at this idle time.
    void armIdleWatch(qulonglong idleTime);
    void removeWatch(uint& watch);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_monitor;
    std::chrono::milliseconds m_after{};
    // Each wait has a number; replies and signals for an older one are dropped.
    quint64 m_wait = 0;
    // Each idle watch asked for has a number too; a reply for an idle watch
    // that another has replaced since is removed at once.
    quint64 m_idleArm = 0;
    uint m_idleWatch = 0;
    uint m_activeWatch = 0;
};

} // namespace montera
