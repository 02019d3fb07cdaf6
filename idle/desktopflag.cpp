#include "desktopflag.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace montera {

DesktopFlag::DesktopFlag(QDBusConnection bus, Query query, Change change, Reader read, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_query(std::move(query))
    , m_read(read)
    , m_owner(m_query.service, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) { askOwner(owner); });
    m_bus.connect(m_query.service, m_query.path, change.interface, change.name, this,
                  SLOT(onChangeSignal(QDBusMessage)));
    ask();
}

void DesktopFlag::onChangeSignal(const QDBusMessage&)
{
    ask();
}

// Asks who owns the service first, so that a service this watcher owns
// itself is never asked, and a missing one costs no failed call.
void DesktopFlag::ask()
{
    const quint64 question = ++m_question;
    const QDBusPendingCall call =
        m_bus.interface()->asyncCall(QStringLiteral("GetNameOwner"), m_query.service);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                const QDBusPendingReply<QString> reply = *done;
                if (question == m_question)
                    askOwner(reply.isValid() ? reply.value() : QString());
            });
}

void DesktopFlag::askOwner(const QString& owner)
{
    const quint64 question = ++m_question;
    if (owner.isEmpty() || owner == m_bus.baseService()) {
        set(false);
        return;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(owner, m_query.path, m_query.interface, m_query.method);
    message.setArguments(m_query.arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (question != m_question)
                    return;
                const QDBusMessage reply = done->reply();
                set(reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    m_read(reply.arguments().constFirst()));
            });
}

void DesktopFlag::set(bool value)
{
    if (value == m_set)
        return;
    m_set = value;
    emit changed(value);
}

namespace desktopflags {

namespace {

bool readBool(const QVariant& reply)
{
    return reply.toBool();
}

} // namespace

DesktopFlag* gnomeSessionInhibit(QDBusConnection bus, QObject* parent)
{
    const QString path = QStringLiteral("/org/gnome/SessionManager");
    const QString interface = QStringLiteral("org.gnome.SessionManager");
    constexpr uint kIdleFlag = 8;
    return new DesktopFlag(
        std::move(bus),
        {interface,
         path,
         QStringLiteral("org.freedesktop.DBus.Properties"),
         QStringLiteral("Get"),
         {interface, QStringLiteral("InhibitedActions")}},
        {QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged")},
        [](const QVariant& reply) {
            return (reply.value<QDBusVariant>().variant().toUInt() & kIdleFlag) != 0;
        },
        parent);
}

DesktopFlag* plasmaInhibit(QDBusConnection bus, QObject* parent)
{
    const QString interface = QStringLiteral("org.kde.Solid.PowerManagement.PolicyAgent");
    constexpr uint kChangeScreenSettings = 4;
    return new DesktopFlag(std::move(bus),
                           {interface,
                            QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
                            interface,
                            QStringLiteral("HasInhibition"),
                            {QVariant::fromValue(kChangeScreenSettings)}},
                           {interface, QStringLiteral("InhibitionsChanged")}, readBool, parent);
}

DesktopFlag* freedesktopLock(QDBusConnection bus, QObject* parent)
{
    const QString interface = QStringLiteral("org.freedesktop.ScreenSaver");
    return new DesktopFlag(std::move(bus),
                           {interface,
                            QStringLiteral("/org/freedesktop/ScreenSaver"),
                            interface,
                            QStringLiteral("GetActive"),
                            {}},
                           {interface, QStringLiteral("ActiveChanged")}, readBool, parent);
}

DesktopFlag* gnomeLock(QDBusConnection bus, QObject* parent)
{
    const QString interface = QStringLiteral("org.gnome.ScreenSaver");
    return new DesktopFlag(
        std::move(bus),
        {interface, QStringLiteral("/org/gnome/ScreenSaver"), interface, QStringLiteral("GetActive"), {}},
        {interface, QStringLiteral("ActiveChanged")}, readBool, parent);
}

} // namespace desktopflags

} // namespace montera
