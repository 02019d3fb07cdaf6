#pragma once

#include "pictures.h"
#include "twips.h"
#include "windowtitle.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class QKeyEvent;
class QMouseEvent;

namespace montera {

// A picture control: draws its picture at its top left corner, in the format
// it was read in. An 8-bit picture stays 8 bits: painting converts only the
// pixels it draws, where a pixmap would hold a 32-bit copy of it all. A
// packed picture stays packed: painting decodes only the rows it draws.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    // The picture's pixels per design pixel are the device pixel ratio.
    void setPicture(const PackedPicture& picture, qreal devicePixelRatio);
    // The whole picture as it is drawn, decoded where it is packed.
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    PackedPicture m_packed;
    qreal m_packedRatio = 1.0;
    QImage m_scaled; // the picture at the screen's density, where it was made for another
    QImage m_band;   // the rows of a packed picture being drawn
};

// The time bar: a filled rectangle whose width the show sets in twips. Only
// the bar itself is repainted when its width changes.
class TimeBarShape : public QWidget {
    Q_OBJECT
public:
    explicit TimeBarShape(QWidget* parent = nullptr);

    // The widget keeps its designed size; the bar fills it from the left to
    // this width, and only the strip that changes is repainted, at once.
    void setWidthTwips(double twips);
    // The panel is drawn this many times its designed size; so is the bar.
    void setFactor(int factor);
    // The sibling that lies under the whole bar and never changes. The bar
    // then paints what it covers of that sibling, over the parent's colour,
    // itself: a step of the bar repaints this one widget, not three.
    void setBackdrop(QWidget* below);
    double widthTwips() const { return m_widthTwips; }
    int filledWidth() const { return m_filledPixels; }

    QColor fillColor() const { return m_fill; }
    QColor borderColor() const { return m_border; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_widthTwips = 0.0;
    int m_filledPixels = 0;
    int m_factor = 1;
    QWidget* m_below = nullptr;
    QPixmap m_backdrop; // rendered from m_below at the first paint
    QColor m_fill = montera::colorFromBgr(0x0000FF00);
    QColor m_border = montera::colorFromBgr(0x00000000);
};

// The full-screen window of the show: a black surface holding the quiz panel
// fraDocFrame. The panel and everything in it take no input, so every key and
// every pointer event reaches the window, which passes them on as signals.
class frmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerIntervalMs = 50;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    static int twipsToPixels(double twips) { return montera::twipsToPixels(twips); }
    static double pixelsToTwips(double pixels) { return montera::pixelsToTwips(pixels); }

    // Draws the panel this whole number of times its designed size: every
    // control's place and size, the text's point sizes and the pictures, which
    // come from those made for twice the size wherever the screen's density
    // times the factor is above 1. The panel's designed place scales with it.
    void setDisplayFactor(int factor);
    int displayFactor() const { return m_factor; }

    // For a window whose black the window system fills: the window paints
    // nothing, and the panel becomes a small window of its own inside it,
    // with its own pixels. The show then holds the panel's pixels alone,
    // whatever the size of the screen. The panel stays a child of the window
    // here, placed in the window's coordinates and taking no input.
    void leaveBlackToWindowSystem();

    // Unloads the window: runs the unload path (the unloading() signal, once)
    // and closes it. Calling it again does nothing.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    // Controls of the window, by their design names.
    QLineEdit* DummyText = nullptr;
    QWidget* fraDocFrame = nullptr;
    ImageBox* Image1 = nullptr;
    QLabel* lblMode = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblCANum = nullptr;
    QLabel* lblCAPer = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblDoc = nullptr;
    TimeBarShape* shpTimeBar = nullptr;
    QLabel* lblTitle = nullptr;
    ImageBox* lblBatsu = nullptr;
    ImageBox* lblMaru = nullptr;
    QLabel* lblQNum = nullptr;
    // Answer slots 0 to 4, top to bottom (lblSelect1 to lblSelect5).
    std::array<QLabel*, 5> lblSelect{};
    QTimer* timMain = nullptr;

signals:
    void keyDown(QKeyEvent* event);
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    // Emitted once when the window unloads, before it closes.
    void unloading();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The window draws through Qt's backing store, or not at all.
    QPaintEngine* paintEngine() const override { return nullptr; }
    // The window looks the same with the focus and without it. QWidget's
    // handlers repaint it on either change, which at the show's start paints
    // all the black around the panel a second time, and without X shared
    // memory Qt keeps a copy buffer as large as that strip (1 MB) from then on.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void runUnload();

    // A control of the panel, or the panel, as designed.
    struct Designed {
        QWidget* widget;
        QRect geometry;
        qreal points;
    };

    bool m_unloaded = false;
    bool m_panelIsOwnWindow = false;
    int m_factor = 1;
    std::vector<Designed> m_design;
};

} // namespace montera
