#include "screensaverservice.h"

#include "screensaveradaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace montera {

namespace {

// Programs call either path; both lead to the same inhibits.
const QString kPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")};

} // namespace

bool desktopOffersScreenSaver(const QString& currentDesktop)
{
    const QStringList names = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        if (name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

ScreenSaverService::ScreenSaverService(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_callers(QString(), m_bus, QDBusServiceWatcher::WatchForUnregistration)
{
    new ScreenSaverAdaptor(this);
    connect(&m_callers, &QDBusServiceWatcher::serviceUnregistered, this, &ScreenSaverService::onCallerLeft);
}

ScreenSaverService::~ScreenSaverService()
{
    if (m_owned)
        release();
}

bool ScreenSaverService::claim()
{
    QDBusConnectionInterface* bus = m_bus.interface();
    if (!bus)
        return false;
    for (const QString& path : kPaths) {
        if (!m_bus.registerObject(path, this)) {
            release();
            return false;
        }
    }
    connect(bus, &QDBusConnectionInterface::serviceUnregistered, this, &ScreenSaverService::onNameLost,
            Qt::UniqueConnection);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus->registerService(QLatin1String(kScreenSaverService), QDBusConnectionInterface::DontQueueService,
                             QDBusConnectionInterface::AllowReplacement);
    m_owned = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    if (!m_owned)
        release();
    return m_owned;
}

void ScreenSaverService::release()
{
    for (const QString& path : kPaths)
        m_bus.unregisterObject(path);
    if (m_owned && m_bus.interface())
        m_bus.interface()->unregisterService(QLatin1String(kScreenSaverService));
    m_owned = false;
}

uint ScreenSaverService::Inhibit(const QString& application, const QString& reason)
{
    const QString caller = calledFromDBus() ? message().service() : QString();
    const bool wasHeld = m_inhibits.held();
    if (!m_inhibits.holds(caller))
        watchCaller(caller);
    const uint cookie = m_inhibits.add(caller);
    emit said(QStringLiteral("inhibit %1 by %2 (%3): %4")
                  .arg(cookie)
                  .arg(loggedName(application), caller, loggedName(reason)));
    setHeld(wasHeld);
    return cookie;
}

void ScreenSaverService::watchCaller(const QString& caller)
{
    m_callers.addWatchedService(caller);
    // The caller may have left while its call waited in the queue, before
    // the watch began: then no signal will tell, so ask once.
    const QDBusPendingCall call = m_bus.interface()->asyncCall(QStringLiteral("NameHasOwner"), caller);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, caller](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<bool> reply = *done;
        if (reply.isValid() && !reply.value())
            onCallerLeft(caller);
    });
}

void ScreenSaverService::UnInhibit(uint cookie)
{
    const QString caller = calledFromDBus() ? message().service() : QString();
    const bool wasHeld = m_inhibits.held();
    switch (m_inhibits.release(caller, cookie)) {
    case InhibitRegistry::Release::Released:
        emit said(QStringLiteral("inhibit %1 ended").arg(cookie));
        break;
    case InhibitRegistry::Release::UnknownCookie:
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("no inhibit has the cookie %1").arg(cookie));
        return;
    case InhibitRegistry::Release::NotTheCallers:
        if (calledFromDBus())
            sendErrorReply(QDBusError::AccessDenied,
                           QStringLiteral("the inhibit %1 belongs to another program").arg(cookie));
        return;
    }
    if (!m_inhibits.holds(caller))
        m_callers.removeWatchedService(caller);
    setHeld(wasHeld);
}

void ScreenSaverService::onCallerLeft(const QString& caller)
{
    const bool wasHeld = m_inhibits.held();
    m_callers.removeWatchedService(caller);
    if (const int count = m_inhibits.releaseAll(caller))
        emit said(QStringLiteral("%1 inhibit(s) ended: %2 left the bus").arg(count).arg(caller));
    setHeld(wasHeld);
}

void ScreenSaverService::onNameLost(const QString& name)
{
    if (name != QLatin1String(kScreenSaverService) || !m_owned)
        return;
    // The new owner (a desktop that started) answers the programs from now
    // on; inhibits made here cannot be handed over and end.
    m_owned = false;
    release();
    const bool wasHeld = m_inhibits.held();
    m_inhibits.clear();
    m_callers.setWatchedServices({});
    emit said(QStringLiteral("another program took %1").arg(QLatin1String(kScreenSaverService)));
    setHeld(wasHeld);
}

void ScreenSaverService::setHeld(bool wasHeld)
{
    if (wasHeld != m_inhibits.held())
        emit heldChanged(m_inhibits.held());
}

} // namespace montera
