#include "previewwindow.h"

#include <QPainter>
#include <QWindow>

namespace montera {

PreviewWindow::PreviewWindow(QImage panel)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_panel(std::move(panel))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QString::fromUtf16(kPreviewWindowTitle.data(), qsizetype(kPreviewWindowTitle.size())));
    // The host's dialog keeps the focus; the preview only shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted, black where the panel is not.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PreviewWindow::showInside(QWindow& host)
{
    // The native window is made now, so that it is a child of the host's
    // before it is ever shown.
    winId();
    windowHandle()->setParent(&host);
    setGeometry(QRect(QPoint(), host.geometry().size()));
    show();
}

QSize PreviewWindow::fittedSize() const
{
    const QSize device = (QSizeF(size()) * devicePixelRatioF()).toSize();
    return m_panel.isNull() ? QSize() : m_panel.size().scaled(device, Qt::KeepAspectRatio);
}

QPointF PreviewWindow::fittedCorner() const
{
    const QSize device = (QSizeF(size()) * devicePixelRatioF()).toSize();
    const QSize margins = device - fittedSize();
    return QPointF(margins.width() / 2, margins.height() / 2) / devicePixelRatioF();
}

QRect PreviewWindow::panelRect() const
{
    return QRectF(fittedCorner(), QSizeF(fittedSize()) / devicePixelRatioF()).toRect();
}

void PreviewWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QSize fitted = fittedSize();
    if (fitted.isEmpty())
        return;
    if (m_scaled.size() != fitted) {
        // Scaled down several times over, the panel's text and lines stay
        // legible only when averaged.
        m_scaled = m_panel.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    m_scaled.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(fittedCorner(), m_scaled);
}

} // namespace montera
