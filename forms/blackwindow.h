#pragma once

#include <QWidget>

class QKeyEvent;
class QMouseEvent;
class QScreen;

namespace montera {

// A black, frameless, topmost window without a cursor that covers one screen
// other than the show's own during a show, so that nothing of the desktop
// shows there. It never takes the focus from the show window; whatever keys
// and pointer events reach it anyway it passes on as signals, with the same
// meaning as the main window's.
class BlackWindow : public QWidget {
    Q_OBJECT
public:
    explicit BlackWindow(QScreen* screen);
    ~BlackWindow() override;

    QScreen* coveredScreen() const { return m_screen; }

    // For a window whose black the window system fills: it paints nothing.
    void leaveBlackToWindowSystem();

signals:
    void keyDown(QKeyEvent* event);
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The window draws through Qt's backing store, or not at all.
    QPaintEngine* paintEngine() const override { return nullptr; }

private:
    QScreen* const m_screen;
};

// Stops a window from painting anything of its own, the children that belong
// to its native window included. Qt then gives it no pixel buffer, and sends
// no pixels for it, however large its screen.
void paintNothing(QWidget* window);

} // namespace montera
