#pragma once

#include "idlesource.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

struct xcb_connection_t;
class QSocketNotifier;

namespace montera {

// Idle time from the X server (MIT-SCREEN-SAVER). Between checks it sleeps
// for exactly the time still missing, so an idle desktop wakes it once per
// wait. While the active window is full screen (a film, a game, a
// presentation) it holds the show off, and the wait starts over once that
// window leaves full screen. The server's own screen-saver and power settings
// are never changed; its blanking is only suspended while a program keeps the
// screen awake through us, and the server ends that suspension itself when
// this connection closes.
class X11IdleSource : public IdleSource {
    Q_OBJECT
public:
    // Connects to $DISPLAY; on failure returns nothing and says why in `error`.
    static std::unique_ptr<X11IdleSource> connect(QString& error);
    ~X11IdleSource() override;

    void startWaiting(std::chrono::milliseconds after) override;
    void stopWaiting() override;
    QString protocol() const override { return QStringLiteral("MIT-SCREEN-SAVER"); }
    void suspendServerBlanking(bool suspend) override;

private:
    explicit X11IdleSource(xcb_connection_t* connection);
    void check();
    bool activeWindowFullScreen() const;
    void readEvents();

    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    uint32_t m_activeWindowAtom = 0;
    uint32_t m_stateAtom = 0;
    uint32_t m_fullScreenAtom = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_timer;
    std::chrono::milliseconds m_after{};
    // When the wait started; input before it does not count.
    QElapsedTimer m_waitStart;
    bool m_heldByFullScreen = false;
};

} // namespace montera
