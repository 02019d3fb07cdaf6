#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QVariantList>

namespace montera {

// A yes-or-no state that a desktop service publishes on the session bus: its
// screen lock is active, or a program keeps the screen awake. The state is
// asked for when the service appears and again at each signal that says it
// changed; a service that is absent or leaves counts as no. Every call is
// asynchronous, so a slow desktop never stalls the watcher, and nothing polls.
class DesktopFlag : public QObject {
    Q_OBJECT
public:
    struct Query {
        QString service;
        QString path;
        QString interface;
        QString method;
        QVariantList arguments;
    };
    // The signal, on the query's path, after which the state is asked again.
    struct Change {
        QString interface;
        QString name;
    };
    // Turns the first value of the reply into the state.
    using Reader = bool (*)(const QVariant& reply);

    DesktopFlag(QDBusConnection bus, Query query, Change change, Reader read, QObject* parent = nullptr);

    bool isSet() const { return m_set; }
    const QString& service() const { return m_query.service; }

signals:
    void changed(bool set);

private slots:
    void onChangeSignal(const QDBusMessage& message);

private:
    void ask();
    void askOwner(const QString& owner);
    void set(bool value);

    QDBusConnection m_bus;
    const Query m_query;
    const Reader m_read;
    QDBusServiceWatcher m_owner;
    // Replies to older questions are dropped: only the newest one counts.
    quint64 m_question = 0;
    bool m_set = false;
};

// The flags that desktops publish, as their services spell them.
namespace desktopflags {
// GNOME's session: a program holds the idle flag (8) of InhibitedActions.
DesktopFlag* gnomeSessionInhibit(QDBusConnection bus, QObject* parent);
// Plasma's power management: an inhibition of the screen settings (4), which
// its screen locker makes for every org.freedesktop.ScreenSaver inhibit.
DesktopFlag* plasmaInhibit(QDBusConnection bus, QObject* parent);
// The desktop's screen lock or screensaver is active: org.freedesktop.ScreenSaver
// (Plasma, Xfce) when another program than this watcher owns it.
DesktopFlag* freedesktopLock(QDBusConnection bus, QObject* parent);
// GNOME's screen shield.
DesktopFlag* gnomeLock(QDBusConnection bus, QObject* parent);
} // namespace desktopflags

} // namespace montera
