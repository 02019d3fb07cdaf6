// The watcher's bus pieces on a private session bus (run under
// dbus-run-session): the screensaver interface it offers, the desktop states
// it follows and GNOME's idle monitor, each against other peers on the bus.
#include "desktopflag.h"
#include "desktopstandin.h"
#include "idle_mutter.h"
#include "screensaverservice.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace montera;

Q_DECLARE_METATYPE(DesktopStandIn::Change)

namespace {

const QString kService = QString::fromLatin1(kScreenSaverService);

// Another program on the bus, with a connection of its own.
struct Peer {
    explicit Peer(const QString& name)
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name))
    {}
    ~Peer() { QDBusConnection::disconnectFromBus(bus.name()); }

    QDBusMessage call(const QString& path, const QString& method, const QVariantList& arguments) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, path, kService, method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::BlockWithGui);
    }
    QDBusMessage inhibit(const QString& path = QStringLiteral("/org/freedesktop/ScreenSaver")) const
    {
        return call(path, QStringLiteral("Inhibit"), {QStringLiteral("player"), QStringLiteral("film")});
    }
    QDBusMessage uninhibit(const QVariant& cookie) const
    {
        return call(QStringLiteral("/ScreenSaver"), QStringLiteral("UnInhibit"), {cookie});
    }

    QDBusConnection bus;
};

uint cookieOf(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toUInt() : 0;
}

// GNOME's idle monitor, where input comes just after each reading of the idle
// time (5 s so far): it fires and removes the user-active watches, as mutter
// does, and keeps the idle watches asked for.
class IdleMonitorStandIn : public QDBusVirtualObject {
public:
    explicit IdleMonitorStandIn(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
        m_bus.registerVirtualObject(kPath, this);
        m_bus.registerService(kMonitor);
    }

    // The idle times of the idle watches in place.
    QList<qulonglong> idleWatches() const { return m_idleWatches.values(); }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QString method = message.member();
        if (method == QLatin1String("GetIdletime")) {
            connection.send(message.createReply(QVariant::fromValue(qulonglong(5000))));
            for (const uint id : std::exchange(m_activeWatches, {})) {
                QDBusMessage fired =
                    QDBusMessage::createSignal(kPath, kMonitor, QStringLiteral("WatchFired"));
                fired << id;
                connection.send(fired);
            }
            return true;
        }
        if (method == QLatin1String("AddIdleWatch"))
            m_idleWatches.insert(++m_lastId, message.arguments().value(0).toULongLong());
        else if (method == QLatin1String("AddUserActiveWatch"))
            m_activeWatches.append(++m_lastId);
        else if (method == QLatin1String("RemoveWatch"))
            m_idleWatches.remove(message.arguments().value(0).toUInt());
        return connection.send(message.createReply(method == QLatin1String("RemoveWatch")
                                                       ? QVariantList()
                                                       : QVariantList{QVariant::fromValue(m_lastId)}));
    }

private:
    inline static const QString kMonitor = QStringLiteral("org.gnome.Mutter.IdleMonitor");
    inline static const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
    QDBusConnection m_bus;
    QMap<uint, qulonglong> m_idleWatches;
    QList<uint> m_activeWatches;
    uint m_lastId = 0;
};

} // namespace

class TestIdleBus : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void inhibits();
    void badCalls_data();
    void badCalls();
    void nameKeptAndHandedOver();
    void desktopFlag_data();
    void desktopFlag();
    void mutterInputJustAfterTheIdleTimeWasRead();

private:
    std::unique_ptr<ScreenSaverService> m_service;
};

void TestIdleBus::init()
{
    m_service = std::make_unique<ScreenSaverService>(QDBusConnection::sessionBus());
    QVERIFY(m_service->claim());
}

void TestIdleBus::cleanup()
{
    m_service.reset();
    QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kService));
}

// Both paths lead to one set of inhibits; each ends by UnInhibit or when its
// program leaves the bus (a crash included), and the last one releases the hold.
void TestIdleBus::inhibits()
{
    QSignalSpy held(m_service.get(), &ScreenSaverService::heldChanged);
    auto player = std::make_unique<Peer>(QStringLiteral("player"));
    const Peer slides(QStringLiteral("slides"));
    const uint first = cookieOf(player->inhibit());
    const uint second = cookieOf(player->inhibit(QStringLiteral("/ScreenSaver")));
    const uint third = cookieOf(slides.inhibit());
    QVERIFY(first != 0 && second != 0 && third != 0 && first != second);
    QCOMPARE(player->uninhibit(first).type(), QDBusMessage::ReplyMessage);
    player.reset();
    QTRY_COMPARE(m_service->count(), 1);
    QCOMPARE(held.size(), 1);
    QCOMPARE(slides.uninhibit(third).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(held.size(), 2);
    QCOMPARE(held.last().value(0).toBool(), false);
}

// A call the service cannot honour is answered with an error and changes nothing.
void TestIdleBus::badCalls_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("arguments"); // a cookie of -1 stands for the one the player holds
    QTest::addColumn<bool>("fromPlayer");

    QTest::newRow("unknown cookie") << "UnInhibit" << QVariantList{999u} << true;
    QTest::newRow("another caller's cookie") << "UnInhibit" << QVariantList{-1} << false;
    QTest::newRow("cookie as text") << "UnInhibit" << QVariantList{QStringLiteral("1")} << true;
    QTest::newRow("inhibit without reason") << "Inhibit" << QVariantList{QStringLiteral("x")} << true;
    QTest::newRow("inhibit with numbers") << "Inhibit" << QVariantList{1, 2} << true;
}

void TestIdleBus::badCalls()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, arguments);
    QFETCH(bool, fromPlayer);
    const Peer player(QStringLiteral("player"));
    const Peer other(QStringLiteral("other"));
    const uint cookie = cookieOf(player.inhibit());
    QVERIFY(cookie != 0);
    if (arguments.value(0) == QVariant(-1))
        arguments[0] = cookie;

    const QDBusMessage reply =
        (fromPlayer ? player : other).call(QStringLiteral("/ScreenSaver"), method, arguments);
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(m_service->count(), 1);
    QCOMPARE(player.uninhibit(cookie).type(), QDBusMessage::ReplyMessage);
    QVERIFY(!m_service->held());
}

// A second watcher does not take the name; a desktop that asks to replace it
// does, and the inhibits made here end.
void TestIdleBus::nameKeptAndHandedOver()
{
    const Peer second(QStringLiteral("second"));
    ScreenSaverService secondService(second.bus);
    QVERIFY(!secondService.claim());
    QVERIFY(m_service->owned());

    const Peer player(QStringLiteral("player"));
    QVERIFY(cookieOf(player.inhibit()) != 0);
    QSignalSpy held(m_service.get(), &ScreenSaverService::heldChanged);
    const Peer desktop(QStringLiteral("desktop"));
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> taken =
        desktop.bus.interface()->registerService(kService, QDBusConnectionInterface::ReplaceExistingService,
                                                 QDBusConnectionInterface::DontAllowReplacement);
    QCOMPARE(taken.value(), QDBusConnectionInterface::ServiceRegistered);
    QTRY_VERIFY(!m_service->owned());
    QCOMPARE(held.size(), 1);
    QVERIFY(!m_service->held());
}

// Each desktop state follows its service: asked when the service appears,
// asked again at its change signal, and no once the service leaves.
void TestIdleBus::desktopFlag_data()
{
    using Factory = DesktopFlag* (*)(QDBusConnection, QObject*);
    QTest::addColumn<quintptr>("factory");
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("path");
    QTest::addColumn<DesktopStandIn::Change>("change");
    QTest::addColumn<QVariant>("on");
    QTest::addColumn<QVariant>("off");

    const auto row = [](const char* name, Factory factory, const char* service, const char* path,
                        DesktopStandIn::Change change, QVariant on, QVariant off) {
        QTest::newRow(name) << quintptr(factory) << QString::fromLatin1(service) << QString::fromLatin1(path)
                            << change << on << off;
    };
    row("GNOME session: idle flag among others", desktopflags::gnomeSessionInhibit,
        "org.gnome.SessionManager", "/org/gnome/SessionManager", DesktopStandIn::Change::PropertiesChanged,
        QVariant(9u), QVariant(5u));
    row("Plasma power management", desktopflags::plasmaInhibit, "org.kde.Solid.PowerManagement.PolicyAgent",
        "/org/kde/Solid/PowerManagement/PolicyAgent", DesktopStandIn::Change::InhibitionsChanged,
        QVariant(true), QVariant(false));
    row("desktop screen lock", desktopflags::freedesktopLock, "org.freedesktop.ScreenSaver",
        "/org/freedesktop/ScreenSaver", DesktopStandIn::Change::ActiveChanged, QVariant(true),
        QVariant(false));
    row("GNOME screen lock", desktopflags::gnomeLock, "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
        DesktopStandIn::Change::ActiveChanged, QVariant(true), QVariant(false));
}

void TestIdleBus::desktopFlag()
{
    QFETCH(quintptr, factory);
    QFETCH(QString, service);
    QFETCH(QString, path);
    QFETCH(DesktopStandIn::Change, change);
    QFETCH(QVariant, on);
    QFETCH(QVariant, off);
    // The watcher's own service is never asked about the lock.
    m_service.reset();

    const auto make = reinterpret_cast<DesktopFlag* (*)(QDBusConnection, QObject*)>(factory);
    auto desktop = std::make_unique<Peer>(QStringLiteral("desktop"));
    auto standIn = std::make_unique<DesktopStandIn>(desktop->bus, service, path, service, change, on);
    const std::unique_ptr<DesktopFlag> flag(make(QDBusConnection::sessionBus(), nullptr));
    QTRY_VERIFY(flag->isSet());
    standIn->setValue(off);
    QTRY_VERIFY(!flag->isSet());
    standIn->setValue(on);
    QTRY_VERIFY(flag->isSet());
    // The stand-in keeps its connection open until it goes.
    standIn.reset();
    desktop.reset();
    QTRY_VERIFY(!flag->isSet());
}

// Input that comes as the watcher reads the idle time starts the wait again
// from that input: one idle watch of the wait alone is left, not one at the
// idle time read plus the wait.
void TestIdleBus::mutterInputJustAfterTheIdleTimeWasRead()
{
    m_service.reset();
    const Peer mutter(QStringLiteral("mutter"));
    IdleMonitorStandIn monitor(mutter.bus);
    QString error;
    const std::unique_ptr<MutterIdleSource> source = MutterIdleSource::connect(error);
    QVERIFY2(source, qPrintable(error));
    source->startWaiting(std::chrono::milliseconds(2000));
    QTRY_COMPARE(monitor.idleWatches(), QList<qulonglong>{2000});
    QTest::qWait(100);
    QCOMPARE(monitor.idleWatches(), QList<qulonglong>{2000});
}

QTEST_GUILESS_MAIN(TestIdleBus)
#include "test_idle_bus.moc"
