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

signals:
    void keyDown(QKeyEvent* event);
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QScreen* const m_screen;
};

} // namespace montera
