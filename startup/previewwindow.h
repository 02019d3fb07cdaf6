#pragma once

#include <QImage>
#include <QWidget>

#include <string_view>

class QWindow;

namespace montera {

// The preview window's title. It must differ from the show's, so that a show
// started while a preview runs does not take it for a running show.
inline constexpr std::u16string_view kPreviewWindowTitle = u"モンテラ - プレビュー";

// A still of the show for the screensaver host's preview: black, with the
// show's panel scaled to fit and centred. It lives as a child window inside a
// window of another program, and takes neither the focus nor the cursor.
class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QImage panel);
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Makes this a child window of the host's window, covering it from its
    // corner, and shows it.
    void showInside(QWindow& host);

    // Where the panel is drawn, in the window's coordinates.
    QRect panelRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The panel's size in device pixels at the window's size, and its corner.
    QSize fittedSize() const;
    QPointF fittedCorner() const;

    QImage m_panel;
    QImage m_scaled; // the panel at fittedSize(), made when first drawn at that size
};

} // namespace montera
