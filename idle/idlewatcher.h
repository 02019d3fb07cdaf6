#pragma once

#include "idlesource.h"
#include "idlestart.h"

#include <QProcess>
#include <QStringList>

#include <chrono>
#include <optional>

namespace montera {

// The program the watcher starts when the desktop is idle.
struct ShowCommand {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

// What besides input keeps the show from starting. Each source of holds has
// its own, so that one ending leaves the others in force.
enum class Hold : unsigned {
    // A program keeps the screen awake through the interface this watcher offers.
    ProgramInhibit = 1u << 0,
    // A program keeps the screen awake through GNOME's session.
    SessionInhibit = 1u << 1,
    // A program keeps the screen awake through Plasma's power management.
    PlasmaInhibit = 1u << 2,
    // The desktop's screen lock or screensaver is active.
    DesktopLock = 1u << 3,
    GnomeLock = 1u << 4,
};

// Starts the show each time the idle source reports the wait over, waits for
// the show to end, and then waits again from zero. A show that fails to start,
// crashes or exits with an error is reported through problem() and the
// watching goes on. While any hold is set no wait runs; when the last one
// ends the wait starts from zero, as after input. A show already running is
// left alone.
class IdleWatcher : public QObject {
    Q_OBJECT
public:
    IdleWatcher(IdleSource& source, ShowCommand command, std::chrono::milliseconds after);
    // A show still running is asked to end, and ended if it does not.
    ~IdleWatcher() override;

    void start();
    bool showRunning() const { return m_show.state() != QProcess::NotRunning; }
    void setHold(Hold hold, bool on);
    bool held() const { return m_holds != 0; }

signals:
    // One line for the user about a show that could not start or failed.
    void problem(const QString& message);
    // The session ended; nothing more will start.
    void finished();

private:
    void onIdle();
    void onShowFinished(int exitCode, QProcess::ExitStatus status);
    void onShowError(QProcess::ProcessError error);
    void waitAgain();

    IdleSource& m_source;
    const ShowCommand m_command;
    const std::chrono::milliseconds m_after;
    QProcess m_show;
    unsigned m_holds = 0;
};

} // namespace montera
