#include "idle_mutter.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace montera {

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");

} // namespace

std::unique_ptr<MutterIdleSource> MutterIdleSource::connect(QString& error)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return nullptr;
    }
    if (!bus.interface()->isServiceRegistered(kService)) {
        error = QStringLiteral("nobody offers %1 on the session bus").arg(kService);
        return nullptr;
    }
    return std::unique_ptr<MutterIdleSource>(new MutterIdleSource(bus));
}

MutterIdleSource::MutterIdleSource(QDBusConnection bus)
    : m_bus(std::move(bus))
    , m_monitor(kService, m_bus, QDBusServiceWatcher::WatchForUnregistration)
{
    // The compositor leaving the bus is the end of the session.
    QObject::connect(&m_monitor, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++m_wait;
        ++m_idleArm;
        m_idleWatch = 0;
        m_activeWatch = 0;
        emit ended();
    });
    m_bus.connect(kService, kPath, kService, QStringLiteral("WatchFired"), this, SLOT(onWatchFired(uint)));
}

MutterIdleSource::~MutterIdleSource()
{
    stopWaiting();
}

QDBusMessage MutterIdleSource::call(const QString& method, const QVariantList& arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    message.setArguments(arguments);
    return message;
}

void MutterIdleSource::startWaiting(std::chrono::milliseconds after)
{
    stopWaiting();
    m_after = after;
    const quint64 wait = m_wait;
    const quint64 arm = m_idleArm;
    // Mutter answers in order: input after the user-active watch is in place
    // fires it, and so re-arms the wait, even when it comes before the idle
    // time is read. Added the other way round, input between the two made
    // the wait twice as long.
    addWatch(QStringLiteral("AddUserActiveWatch"), {}, m_activeWatch, m_wait);
    // An idle watch fires at an idle time counted from the last input, so a
    // wait counted from now asks for the idle time so far plus the wait.
    auto* watcher =
        new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("GetIdletime"), {})), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this, wait, arm](QDBusPendingCallWatcher* done) {
                         done->deleteLater();
                         const QDBusPendingReply<qulonglong> reply = *done;
                         if (wait != m_wait || arm != m_idleArm)
                             return;
                         const qulonglong idleTime = reply.isValid() ? reply.value() : 0;
                         armIdleWatch(idleTime + static_cast<qulonglong>(m_after.count()));
                     });
}

void MutterIdleSource::armIdleWatch(qulonglong idleTime)
{
    removeWatch(m_idleWatch);
    ++m_idleArm;
    addWatch(QStringLiteral("AddIdleWatch"), {QVariant::fromValue(idleTime)}, m_idleWatch, m_idleArm);
}

void MutterIdleSource::addWatch(const QString& method, const QVariantList& arguments, uint& watch,
                                const quint64& number)
{
    const quint64 asked = number;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(method, arguments)), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this, asked, &number, &watch](QDBusPendingCallWatcher* done) {
                         done->deleteLater();
                         const QDBusPendingReply<uint> reply = *done;
                         if (!reply.isValid())
                             return;
                         uint id = reply.value();
                         if (asked == number)
                             watch = id;
                         else
                             removeWatch(id);
                     });
}

void MutterIdleSource::removeWatch(uint& watch)
{
    if (watch != 0)
        m_bus.asyncCall(call(QStringLiteral("RemoveWatch"), {watch}));
    watch = 0;
}

void MutterIdleSource::stopWaiting()
{
    ++m_wait;
    ++m_idleArm;
    removeWatch(m_idleWatch);
    removeWatch(m_activeWatch);
}

void MutterIdleSource::onWatchFired(uint id)
{
    if (id == 0)
        return;
    if (id == m_activeWatch) {
        // Input came: from now on the wait counts from the last input, which
        // is what an idle watch of the wait itself does. Mutter has removed
        // the user-active watch as it fired.
        m_activeWatch = 0;
        armIdleWatch(static_cast<qulonglong>(m_after.count()));
        return;
    }
    if (id != m_idleWatch)
        return;
    // An idle watch fires again after each input; this wait is over.
    stopWaiting();
    emit idle();
}

} // namespace montera
