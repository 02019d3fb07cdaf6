#include "idlewatcher.h"

#include <QFileInfo>

namespace montera {

IdleWatcher::IdleWatcher(IdleSource& source, ShowCommand command, std::chrono::milliseconds after)
    : m_source(source)
    , m_command(std::move(command))
    , m_after(after)
{
    // The show talks to the user through its own windows; its output goes
    // where the watcher's goes.
    m_show.setProcessChannelMode(QProcess::ForwardedChannels);
    m_show.setInputChannelMode(QProcess::ForwardedInputChannel);
    m_show.setWorkingDirectory(m_command.workingDirectory);
    connect(&m_source, &IdleSource::idle, this, &IdleWatcher::onIdle);
    connect(&m_source, &IdleSource::ended, this, [this] {
        m_source.stopWaiting();
        emit finished();
    });
    connect(&m_show, &QProcess::finished, this, &IdleWatcher::onShowFinished);
    connect(&m_show, &QProcess::errorOccurred, this, &IdleWatcher::onShowError);
}

IdleWatcher::~IdleWatcher()
{
    if (!showRunning())
        return;
    m_show.disconnect(this);
    m_show.terminate();
    if (!m_show.waitForFinished(2000))
        m_show.kill();
}

void IdleWatcher::start()
{
    waitAgain();
}

void IdleWatcher::waitAgain()
{
    if (!held())
        m_source.startWaiting(m_after);
}

void IdleWatcher::setHold(Hold hold, bool on)
{
    const bool wasHeld = held();
    const auto bit = static_cast<unsigned>(hold);
    m_holds = on ? (m_holds | bit) : (m_holds & ~bit);
    if (wasHeld == held() || showRunning())
        return;
    if (held())
        m_source.stopWaiting();
    else
        waitAgain();
}

void IdleWatcher::onIdle()
{
    // The program keeps to one show anyway; the watcher does not even ask.
    if (showRunning() || held())
        return;
    m_source.stopWaiting();
    if (!QFileInfo(m_command.program).isExecutable()) {
        emit problem(QStringLiteral("no program to start: %1").arg(m_command.program));
        waitAgain();
        return;
    }
    m_show.start(m_command.program, m_command.arguments);
}

void IdleWatcher::onShowFinished(int exitCode, QProcess::ExitStatus status)
{
    if (status == QProcess::CrashExit)
        emit problem(QStringLiteral("the show crashed"));
    else if (exitCode != 0)
        emit problem(QStringLiteral("the show ended with status %1").arg(exitCode));
    waitAgain();
}

void IdleWatcher::onShowError(QProcess::ProcessError error)
{
    // Every other error is followed by finished().
    if (error != QProcess::FailedToStart)
        return;
    emit problem(QStringLiteral("cannot start %1: %2").arg(m_command.program, m_show.errorString()));
    waitAgain();
}

} // namespace montera
