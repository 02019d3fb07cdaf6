// montera-idle: starts the show when the desktop has been idle for a while,
// as a screensaver host does on other systems.
#include "desktopflag.h"
#include "idle_mutter.h"
#include "idle_wayland.h"
#include "idle_x11.h"
#include "idlewatcher.h"
#include "screensaverservice.h"
#include "watchercontrol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace montera;

namespace {

constexpr int kUsageError = 2;
int signalPipe[2] = {-1, -1};

void say(const QString& line)
{
    std::fprintf(stderr, "montera-idle: %s\n", qUtf8Printable(line));
}

// SIGTERM and SIGINT reach the event loop through a socket, so that the
// watcher ends the way it does at the end of the session.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void quitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

std::unique_ptr<IdleSource> connectIdleSource(QString& error)
{
    // Under Wayland the X server (if any) sees only its own clients' input,
    // so it is never asked, not even when the compositor has no idle protocol.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        WaylandIdleSource::Failure failure = WaylandIdleSource::Failure::None;
        if (std::unique_ptr<IdleSource> source = WaylandIdleSource::connect(error, failure))
            return source;
        if (failure != WaylandIdleSource::Failure::NoIdleProtocol)
            return nullptr;
        // GNOME's compositor offers its idle time on the session bus instead.
        QString busError;
        if (std::unique_ptr<IdleSource> source = MutterIdleSource::connect(busError))
            return source;
        error += QStringLiteral(", and %1").arg(busError);
        return nullptr;
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return X11IdleSource::connect(error);
    error = QStringLiteral("no display: neither WAYLAND_DISPLAY nor DISPLAY is set");
    return nullptr;
}

// Follows everything on the session bus that keeps the show off: programs
// that call the screensaver interface (answered here where the desktop does
// not), the desktop's own inhibits and its screen lock.
void watchHolds(QDBusConnection bus, IdleWatcher& watcher, IdleSource& source, bool x11, QObject* owner)
{
    const auto follow = [&watcher](DesktopFlag* flag, Hold hold, const char* what) {
        QObject::connect(flag, &DesktopFlag::changed, &watcher, [&watcher, hold, what](bool set) {
            say(QStringLiteral("%1 %2").arg(QLatin1String(what),
                                            set ? QStringLiteral("began: no show")
                                                : QStringLiteral("ended: waiting again")));
            watcher.setHold(hold, set);
        });
    };
    if (desktopOffersScreenSaver(qEnvironmentVariable("XDG_CURRENT_DESKTOP"))) {
        say(QStringLiteral("the desktop answers %1").arg(QLatin1String(kScreenSaverService)));
    } else {
        auto* service = new ScreenSaverService(bus, owner);
        QObject::connect(service, &ScreenSaverService::said, &say);
        QObject::connect(service, &ScreenSaverService::heldChanged, &watcher, [&watcher, &source](bool held) {
            watcher.setHold(Hold::ProgramInhibit, held);
            source.suspendServerBlanking(held);
        });
        say(service->claim()
                ? QStringLiteral("answering %1").arg(QLatin1String(kScreenSaverService))
                : QStringLiteral("%1 has another owner").arg(QLatin1String(kScreenSaverService)));
    }
    // Under GNOME on Wayland the compositor's idle watches pause for the
    // session's inhibits already.
    if (x11)
        follow(desktopflags::gnomeSessionInhibit(bus, owner), Hold::SessionInhibit, "GNOME session inhibit");
    follow(desktopflags::plasmaInhibit(bus, owner), Hold::PlasmaInhibit, "Plasma inhibit");
    follow(desktopflags::freedesktopLock(bus, owner), Hold::DesktopLock, "desktop screen lock");
    follow(desktopflags::gnomeLock(bus, owner), Hold::GnomeLock, "GNOME screen lock");
}

// Writes the user's autostart entry for this program and the wait.
bool writeAutostartEntry(const QString& program, const QString& wait)
{
    const QString path = autostartEntryPath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(autostartEntryText(program, wait)) < 0 ||
        !file.commit()) {
        say(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

// --enable: this program watches the display from now on, and from every
// login on. The entry is written only once the new watcher has started, so
// that a watcher that cannot run is never started at login either.
int enable(const QString& wait, std::chrono::seconds after)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!writeAutostartEntry(program, wait))
            return 1;
        say(QStringLiteral("no display: the watcher starts at the next login"));
        return 0;
    }
    if (!displayWatcherRuns(program, wait)) {
        QString error;
        if (!stopDisplayWatcher(error)) {
            say(error);
            return 1;
        }
        if (!startDetachedWatcher(program, wait, error)) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(error));
            return 1;
        }
    }
    if (!writeAutostartEntry(program, wait))
        return 1;
    const QString shown = after.count() % 60 == 0 ? QStringLiteral("%1 min").arg(after.count() / 60)
                                                  : QStringLiteral("%1 s").arg(after.count());
    say(QStringLiteral("the show starts after %1 of idle time; the watcher logs into %2")
            .arg(shown, watcherLogFile()));
    return 0;
}

// --disable: no watcher on this display, and none at the next login.
int disable()
{
    const QString path = autostartEntryPath();
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        say(QStringLiteral("cannot remove %1").arg(path));
        return 1;
    }
    QString error;
    if (!stopDisplayWatcher(error)) {
        say(error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("montera-idle"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Starts the quiz show when the desktop is idle."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption afterOption(
        QStringLiteral("after"),
        QStringLiteral("Idle time before the show starts: minutes, or a number with s or m (90s, 10m)."),
        QStringLiteral("DURATION"), QStringLiteral("10"));
    parser.addOption(afterOption);
    const QCommandLineOption enableOption(
        QStringLiteral("enable"),
        QStringLiteral("Start the watcher now and at every login, after DURATION of idle time, through the "
                       "user's autostart entry; ends the display's running watcher first."),
        QStringLiteral("DURATION"));
    const QCommandLineOption disableOption(
        QStringLiteral("disable"),
        QStringLiteral("Remove the autostart entry and end the display's watcher."));
    parser.addOption(enableOption);
    parser.addOption(disableOption);
    if (!parser.parse(QCoreApplication::arguments())) {
        say(parser.errorText());
        return kUsageError;
    }
    if (parser.isSet(helpOption))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty()) {
        say(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().constFirst()));
        return kUsageError;
    }
    if (int(parser.isSet(afterOption)) + int(parser.isSet(enableOption)) + int(parser.isSet(disableOption)) >
        1) {
        say(QStringLiteral("--after, --enable and --disable go alone"));
        return kUsageError;
    }
    if (parser.isSet(disableOption))
        return disable();
    const QString wait = parser.value(parser.isSet(enableOption) ? enableOption : afterOption);
    const std::optional<std::chrono::seconds> after = parseIdleWait(wait);
    if (!after) {
        say(QStringLiteral("%1 takes minutes, or a number with s or m, from 1s to 24h: %2")
                .arg(parser.isSet(enableOption) ? QStringLiteral("--enable") : QStringLiteral("--after"),
                     wait));
        return kUsageError;
    }
    if (parser.isSet(enableOption))
        return enable(wait, *after);

    QString error;
    const std::unique_ptr<IdleSource> source = connectIdleSource(error);
    if (!source) {
        say(error);
        return 1;
    }

    QLockFile lock(watcherLockFile());
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        say(QStringLiteral("already running for this display (%1)").arg(lock.fileName()));
        return 1;
    }

    const QString folder = QCoreApplication::applicationDirPath();
    IdleWatcher watcher(
        *source, {QDir(folder).filePath(QStringLiteral("montera")), {QStringLiteral("/s")}, folder}, *after);
    QObject::connect(&watcher, &IdleWatcher::problem, &say);
    QObject::connect(&watcher, &IdleWatcher::finished, &app, &QCoreApplication::quit);
    say(QStringLiteral("idle time from %1").arg(source->protocol()));
    QObject holds;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        watchHolds(bus, watcher, *source, qobject_cast<X11IdleSource*>(source.get()) != nullptr, &holds);
    else
        say(QStringLiteral("no session bus: programs cannot hold the show off through it"));
    quitOnSignals(app);
    watcher.start();
    return QCoreApplication::exec();
}
