// montera-idle: starts the show when the desktop has been idle for a while,
// as a screensaver host does on other systems.
#include "idle_wayland.h"
#include "idle_x11.h"
#include "idlewatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

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

// The display this session runs on, as a file-name part: one watcher per display.
QString displayName()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString name = wayland.isEmpty() ? QStringLiteral("x11") + qEnvironmentVariable("DISPLAY")
                                           : QStringLiteral("wayland-") + QFileInfo(wayland).fileName();
    return QString(name).replace(QLatin1Char('/'), QLatin1Char('_'));
}

std::unique_ptr<IdleSource> connectIdleSource(QString& error)
{
    // Under Wayland the X server (if any) sees only its own clients' input.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return WaylandIdleSource::connect(error);
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return X11IdleSource::connect(error);
    error = QStringLiteral("no display: neither WAYLAND_DISPLAY nor DISPLAY is set");
    return nullptr;
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
    const std::optional<std::chrono::seconds> after = parseIdleWait(parser.value(afterOption));
    if (!after) {
        say(QStringLiteral("--after takes minutes, or a number with s or m, from 1s to 24h: %1")
                .arg(parser.value(afterOption)));
        return kUsageError;
    }

    QString error;
    const std::unique_ptr<IdleSource> source = connectIdleSource(error);
    if (!source) {
        say(error);
        return 1;
    }

    const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QLockFile lock(QDir(runtimeFolder).filePath(QStringLiteral("montera-idle-%1.lock").arg(displayName())));
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
    quitOnSignals(app);
    watcher.start();
    return QCoreApplication::exec();
}
