#pragma once

#include <QObject>

#include <chrono>

namespace montera {

// Tells when the desktop has gone without keyboard and pointer input for a
// given time. One implementation per display server; tests use a fake.
class IdleSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts a wait from zero: idle() follows once, when the desktop has been
    // idle for `after` counted from now. A wait already running starts over.
    virtual void startWaiting(std::chrono::milliseconds after) = 0;
    // Ends the wait; no idle() follows until the next startWaiting().
    virtual void stopWaiting() = 0;
    // Keeps the display server's own blanking and power saving off while a
    // program holds the screen awake through us, where the server has them
    // (X11); the calls nest like the server's.
    // The protocol or service the idle time comes from, for the log.
    virtual QString protocol() const { return {}; }
    virtual void suspendServerBlanking(bool /*suspend*/) {}

signals:
    void idle();
    // The connection to the display server closed: the session is over.
    void ended();
};

} // namespace montera
