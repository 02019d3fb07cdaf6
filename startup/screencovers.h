#pragma once

#include <QObject>
#include <QPointer>

#include <map>

class QScreen;

namespace montera {

class BlackWindow;
class Platform;
class frmMain;

// The black windows of one show: one over every screen other than the show
// window's own, each passing the keys and pointer events that reach it on to
// the show window. Screens that come, go or change during the show are
// followed, and when the show window's screen goes away the show moves to
// the screen it lands on and covers that screen.
class ScreenCovers final : public QObject {
    Q_OBJECT
public:
    // The platform fills the black windows with black where it can.
    explicit ScreenCovers(Platform& platform);
    // Deletes the black windows that are still there.
    ~ScreenCovers() override;
    ScreenCovers(const ScreenCovers&) = delete;
    ScreenCovers& operator=(const ScreenCovers&) = delete;

    // Covers the screens other than `own` before the show window exists,
    // where the platform fills black windows itself: the window system then
    // fills them while the show window loads, rather than after it is shown.
    // Does nothing elsewhere. cover() takes these windows over.
    void coverAhead(QScreen* own);
    // Covers the other screens of a show window that is shown.
    void cover(frmMain& show);
    // Closes every black window and stops following the screens.
    void close();

private:
    void arrange();
    void uncover(QScreen* screen);
    void showMovedTo(QScreen* screen);

    Platform& m_platform;
    QPointer<frmMain> m_show;
    QPointer<QScreen> m_aheadOf; // the show's screen, until the show is there
    std::map<QScreen*, QPointer<BlackWindow>> m_windows;
};

} // namespace montera
