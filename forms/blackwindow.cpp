#include "blackwindow.h"

#include "twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace montera {

BlackWindow::BlackWindow(QScreen* screen)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_screen(screen)
{
    setObjectName(QStringLiteral("BlackWindow"));
    setBackColor(this, 0x00000000);
    setCursor(Qt::BlankCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setScreen(screen);
    // Without a window manager full screen keeps the size it is given, so the
    // window is placed over its screen first.
    setGeometry(screen->geometry());
    connect(screen, &QScreen::geometryChanged, this,
            [this](const QRect& geometry) { setGeometry(geometry); });
}

BlackWindow::~BlackWindow() = default;

void BlackWindow::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event);
}

void BlackWindow::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event);
}

void BlackWindow::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(event);
}

} // namespace montera
