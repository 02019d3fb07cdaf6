#include "watchercontrol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>

namespace montera {

namespace {

using namespace std::chrono_literals;

// How long a new watcher must live to count as started, and how long an old
// one may take to end.
constexpr auto kStartProbation = 2s;
constexpr auto kStopGrace = 5s;
constexpr auto kPollInterval = 50ms;

QString runtimeFile(const QString& suffix)
{
    const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtimeFolder)
        .filePath(QStringLiteral("montera-idle-%1.%2").arg(watcherDisplayName(), suffix));
}

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A process that has not yet ended; a zombie has.
bool processRuns(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    const QByteArray stat = procFile(pid, "stat");
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

// The process that holds the display's lock, when it is a watcher: a stale
// lock may name a process that has since taken its number.
qint64 displayWatcher()
{
    QLockFile lock(watcherLockFile());
    qint64 pid = 0;
    if (!lock.getLockInfo(&pid, nullptr, nullptr) || pid <= 0 || !processRuns(pid))
        return 0;
    return procFile(pid, "comm").trimmed() == "montera-idle" ? pid : 0;
}

bool waitWhile(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    for (auto waited = 0ms; condition(); waited += kPollInterval) {
        if (waited >= limit)
            return false;
        QThread::msleep(static_cast<unsigned long>(kPollInterval.count()));
    }
    return true;
}

} // namespace

QString watcherDisplayName()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString name = wayland.isEmpty() ? QStringLiteral("x11") + qEnvironmentVariable("DISPLAY")
                                           : QStringLiteral("wayland-") + QFileInfo(wayland).fileName();
    return QString(name).replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString watcherLockFile()
{
    return runtimeFile(QStringLiteral("lock"));
}

QString watcherLogFile()
{
    return runtimeFile(QStringLiteral("log"));
}

bool displayWatcherRuns(const QString& program, const QString& wait)
{
    const qint64 pid = displayWatcher();
    if (pid == 0)
        return false;
    const QString running = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    const QList<QByteArray> arguments = procFile(pid, "cmdline").split('\0');
    return running == QFileInfo(program).canonicalFilePath() && arguments.size() >= 3 &&
           arguments.at(1) == "--after" && QString::fromUtf8(arguments.at(2)) == wait;
}

bool stopDisplayWatcher(QString& error)
{
    const qint64 pid = displayWatcher();
    if (pid == 0)
        return true;
    if (::kill(static_cast<pid_t>(pid), SIGTERM) != 0) {
        error = QStringLiteral("cannot end the watcher %1: %2")
                    .arg(pid)
                    .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (!waitWhile([pid] { return processRuns(pid); }, kStopGrace)) {
        error = QStringLiteral("the watcher %1 did not end").arg(pid);
        return false;
    }
    return true;
}

bool startDetachedWatcher(const QString& program, const QString& wait, QString& message)
{
    QProcess watcher;
    watcher.setProgram(program);
    watcher.setArguments({QStringLiteral("--after"), wait});
    watcher.setStandardInputFile(QProcess::nullDevice());
    watcher.setStandardOutputFile(QProcess::nullDevice());
    watcher.setStandardErrorFile(watcherLogFile(), QIODevice::Truncate);
    qint64 pid = 0;
    if (!watcher.startDetached(&pid)) {
        message = QStringLiteral("cannot start %1: %2").arg(program, watcher.errorString());
        return false;
    }
    if (!waitWhile([pid] { return processRuns(pid); }, kStartProbation))
        return true;
    QFile log(watcherLogFile());
    message = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
    if (message.isEmpty())
        message = QStringLiteral("%1 ended at once").arg(program);
    return false;
}

} // namespace montera
