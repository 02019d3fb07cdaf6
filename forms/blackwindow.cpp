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

void BlackWindow::leaveBlackToWindowSystem()
{
    paintNothing(this);
}

void paintNothing(QWidget* window)
{
    window->setAutoFillBackground(false);
    window->setAttribute(Qt::WA_NoSystemBackground);
    window->setAttribute(Qt::WA_OpaquePaintEvent);
    // Painted "on screen", the window bypasses Qt's backing store: with no
    // background and no paint handler, nothing is painted at all.
    window->setAttribute(Qt::WA_PaintOnScreen);
}

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
