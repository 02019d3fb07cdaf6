#include "screencovers.h"

#include "blackwindow.h"
#include "frmmain.h"
#include "platform.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace montera {

namespace {

// The event that ends the show may be running in the window, so it goes
// once that event is done.
void discard(BlackWindow* window)
{
    if (window) {
        window->close();
        window->deleteLater();
    }
}

} // namespace

ScreenCovers::ScreenCovers(Platform& platform)
    : m_platform(platform)
{}

ScreenCovers::~ScreenCovers()
{
    for (const auto& [screen, window] : m_windows) {
        delete window.data();
    }
}

void ScreenCovers::coverAhead(QScreen* own)
{
    if (!m_platform.fillsWithBlack() || !own)
        return;
    m_aheadOf = own;
    arrange();
    // Painted only once all are shown: each show() waits for the window
    // system to have done what was asked before it.
    for (const auto& [screen, window] : m_windows)
        m_platform.paintBlack(WindowHandle(window->winId()));
}

void ScreenCovers::cover(frmMain& show)
{
    m_show = &show;
    m_aheadOf = nullptr;
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenCovers::arrange);
    // Emitted before Qt moves the windows of a screen that went away onto
    // another one, so that no black window lands on the show's screen.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenCovers::uncover);
    if (QWindow* window = show.windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &ScreenCovers::showMovedTo);
    }
    arrange();
}

void ScreenCovers::close()
{
    disconnect(qGuiApp, nullptr, this, nullptr);
    for (QScreen* screen : QGuiApplication::screens()) {
        disconnect(screen, nullptr, this, nullptr);
    }
    if (m_show && m_show->windowHandle()) {
        disconnect(m_show->windowHandle(), nullptr, this, nullptr);
    }
    m_show = nullptr;
    m_aheadOf = nullptr;
    for (const auto& [screen, window] : m_windows) {
        discard(window);
    }
    m_windows.clear();
}

void ScreenCovers::arrange()
{
    QScreen* own = m_show ? m_show->screen() : m_aheadOf.data();
    if (!own) {
        return;
    }
    const QList<QScreen*> screens = QGuiApplication::screens();
    // A screen that overlaps the show's own (a mirror, or the whole desktop
    // offered as one more screen) stays uncovered: its black window would
    // hide the show.
    const auto coverable = [&](QScreen* screen) {
        return screen != own && screens.contains(screen) && !screen->geometry().intersects(own->geometry());
    };
    std::erase_if(m_windows, [&](const auto& entry) {
        if (entry.second && coverable(entry.first)) {
            return false;
        }
        discard(entry.second);
        return true;
    });
    bool created = false;
    for (QScreen* screen : screens) {
        connect(screen, &QScreen::geometryChanged, this, &ScreenCovers::arrange, Qt::UniqueConnection);
        if (!coverable(screen)) {
            continue;
        }
        QPointer<BlackWindow>& window = m_windows[screen];
        if (window) {
            window->setGeometry(screen->geometry());
        } else {
            window = new BlackWindow(screen);
            const bool ahead = !m_show;
            if (!ahead && m_platform.fillWithBlack(WindowHandle(window->winId()))) {
                window->leaveBlackToWindowSystem();
            }
            if (ahead)
                window->leaveBlackToWindowSystem();
            // showFullScreen() would also ask to activate the window, which
            // must leave the focus with the show.
            window->setWindowState(Qt::WindowFullScreen);
            window->show();
            created = true;
        }
        // A window put up ahead of the show passes its input on from the
        // moment the show is there; no event is handled before that.
        if (m_show) {
            connect(window, &BlackWindow::keyDown, m_show, &frmMain::keyDown, Qt::UniqueConnection);
            connect(window, &BlackWindow::mouseDown, m_show, &frmMain::mouseDown, Qt::UniqueConnection);
            connect(window, &BlackWindow::mouseMove, m_show, &frmMain::mouseMove, Qt::UniqueConnection);
        }
    }
    // Some platforms activate every new window; the show keeps the keys.
    if (created && m_show) {
        m_show->activateWindow();
    }
}

void ScreenCovers::uncover(QScreen* screen)
{
    const auto found = m_windows.find(screen);
    if (found == m_windows.end()) {
        return;
    }
    discard(found->second);
    m_windows.erase(found);
}

void ScreenCovers::showMovedTo(QScreen* screen)
{
    if (m_show && screen) {
        m_show->setGeometry(screen->geometry());
    }
    arrange();
}

} // namespace montera
