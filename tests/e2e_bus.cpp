// The session-bus peers of the end-to-end scripts, on a test's private bus:
//   e2e_bus session-manager   GNOME's session manager reduced to its
//                             InhibitedActions, taken from standard input one
//                             number a line;
//   e2e_bus inhibit           a video player: it holds an inhibit through
//                             org.freedesktop.ScreenSaver until its input ends,
//                             then ends it with UnInhibit.
// Each prints "ready" once it is in place and ends at the end of its input.
#include "desktopstandin.h"

#include <QCoreApplication>
#include <QDBusReply>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>

namespace {

void ready()
{
    std::puts("ready");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString role = app.arguments().value(1);
    QDBusConnection bus = QDBusConnection::sessionBus();
    QFile input;
    if (!bus.isConnected() || !input.open(stdin, QIODevice::ReadOnly))
        return 1;

    std::unique_ptr<DesktopStandIn> standIn;
    uint cookie = 0;
    const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
    if (role == QLatin1String("session-manager")) {
        const QString name = QStringLiteral("org.gnome.SessionManager");
        standIn =
            std::make_unique<DesktopStandIn>(bus, name, QStringLiteral("/org/gnome/SessionManager"), name,
                                             DesktopStandIn::Change::PropertiesChanged, QVariant(0u));
    } else if (role == QLatin1String("inhibit")) {
        const QDBusReply<uint> reply =
            bus.call(QDBusMessage::createMethodCall(screenSaver, QStringLiteral("/ScreenSaver"), screenSaver,
                                                    QStringLiteral("Inhibit"))
                     << QStringLiteral("e2e player") << QStringLiteral("playing a film"));
        if (!reply.isValid()) {
            std::fprintf(stderr, "Inhibit failed: %s\n", qUtf8Printable(reply.error().message()));
            return 1;
        }
        cookie = reply.value();
    } else {
        std::fprintf(stderr, "usage: e2e_bus session-manager|inhibit\n");
        return 2;
    }

    QSocketNotifier notifier(input.handle(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        const QByteArray line = input.readLine();
        if (!line.isEmpty()) {
            if (standIn)
                standIn->setValue(QVariant(line.trimmed().toUInt()));
            return;
        }
        if (cookie != 0)
            bus.call(QDBusMessage::createMethodCall(screenSaver, QStringLiteral("/ScreenSaver"), screenSaver,
                                                    QStringLiteral("UnInhibit"))
                     << cookie);
        QCoreApplication::quit();
    });
    ready();
    return QCoreApplication::exec();
}
