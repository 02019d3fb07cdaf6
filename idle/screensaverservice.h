#pragma once

#include "inhibits.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>

namespace montera {

// The well-known name that browsers, video players and presentation programs
// call to keep the screen awake.
inline constexpr char kScreenSaverService[] = "org.freedesktop.ScreenSaver";

// True when the desktop named by XDG_CURRENT_DESKTOP (a colon-separated list)
// offers the screensaver interface itself: GNOME and KDE Plasma do, and we
// must not stand in their way even before their service has started.
bool desktopOffersScreenSaver(const QString& currentDesktop);

// Offers org.freedesktop.ScreenSaver's Inhibit and UnInhibit where nobody else
// does, so that a film keeps the show off on desktops without a screensaver
// of their own. The name is asked for allowing replacement: a desktop that
// starts later takes it over, and every inhibit then ends here.
class ScreenSaverService : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    explicit ScreenSaverService(QDBusConnection bus, QObject* parent = nullptr);
    // Gives the name back.
    ~ScreenSaverService() override;

    // Asks for the name; true when this watcher owns it now.
    bool claim();
    bool owned() const { return m_owned; }
    bool held() const { return m_inhibits.held(); }
    int count() const { return m_inhibits.count(); }

public slots:
    // Called through the bus (the adaptor generated from the interface).
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);

signals:
    // At least one inhibit is held, or the last one ended.
    void heldChanged(bool held);
    // One line for the log.
    void said(const QString& line);

private:
    void watchCaller(const QString& caller);
    void onCallerLeft(const QString& caller);
    void onNameLost(const QString& name);
    void release();
    void setHeld(bool wasHeld);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_callers;
    InhibitRegistry m_inhibits;
    bool m_owned = false;
};

} // namespace montera
