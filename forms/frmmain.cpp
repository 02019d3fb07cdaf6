#include "frmmain.h"
#include "blackwindow.h"
#include "pictures.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

using montera::colorFromBgr;
using montera::setBackColor;
using montera::setForeColor;
using montera::twipsRect;

namespace montera {

namespace {

const QString kFixedFont = QStringLiteral("ＭＳ ゴシック");
const QString kProportionalFont = QStringLiteral("ＭＳ Ｐゴシック");

QFont designFont(const QString& family, double points, QFont::Weight weight)
{
    QFont font(drawnFamily(family));
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

enum class Backdrop { Transparent, Opaque };

// The resource an ImageBox of the panel shows, so that it can be drawn anew
// at another display factor.
constexpr const char* kPictureProperty = "montera_picture";

// A label as the design has it: plain text (set content may hold "<" and "&"),
// drawn from the top, either over what lies behind it or on its own colour.
QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text, quint32 fore,
                  Backdrop backdrop, quint32 back, const QFont& font,
                  Qt::Alignment horizontal = Qt::AlignLeft)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setText(text);
    setForeColor(label, fore);
    if (backdrop == Backdrop::Opaque) {
        setBackColor(label, back);
    } else {
        label->setAutoFillBackground(false);
    }
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// Shows the picture drawn for the screen's density and the panel's display
// factor: where the two together scale it above 1, the one made at twice the
// size ("name@2x.png" beside "name.bmp"), else the design's. Either keeps its
// place in the design and its size there, times the factor. Both come as the
// build decoded them (pictures.h), without reading a picture format.
void showPicture(ImageBox* box, int factor)
{
    const QString resource = box->property(kPictureProperty).toString();
    const QString stem = resource.left(resource.lastIndexOf(u'.'));
    if (box->devicePixelRatioF() * factor > 1) {
        const PackedPicture sharp = PackedPicture::fromResource(stem + QStringLiteral("@2x.pxr"));
        if (!sharp.isNull()) {
            box->setPicture(sharp, 2.0 / factor);
            return;
        }
    }
    QImage picture = decodedPicture(stem + QStringLiteral(".px8"));
    picture.setDevicePixelRatio(1.0 / factor);
    box->setImage(picture);
}

ImageBox* makeImage(QWidget* parent, const char* name, QRect geometry, const QString& resource)
{
    auto* image = new ImageBox(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(geometry);
    image->setProperty(kPictureProperty, resource);
    showPicture(image, 1);
    return image;
}

} // namespace

ImageBox::ImageBox(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ImageBox::setImage(const QImage& image)
{
    m_image = image;
    m_packed = PackedPicture();
    m_scaled = QImage();
    m_band = QImage();
    update();
}

void ImageBox::setPicture(const PackedPicture& picture, qreal devicePixelRatio)
{
    m_image = QImage();
    m_packed = picture;
    m_packedRatio = devicePixelRatio;
    m_scaled = QImage();
    update();
}

QImage ImageBox::image() const
{
    if (m_packed.isNull())
        return m_image;
    QImage whole = m_packed.toImage();
    whole.setDevicePixelRatio(m_packedRatio);
    return whole;
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const bool packed = !m_packed.isNull();
    const qreal pictureRatio = packed ? m_packedRatio : m_image.devicePixelRatio();
    if (!qFuzzyCompare(pictureRatio, ratio)) {
        // A picture made for another density is drawn as a label draws it:
        // scaled smoothly to this one, once.
        if (m_scaled.isNull() || !qFuzzyCompare(m_scaled.devicePixelRatio(), ratio)) {
            const QImage whole = image();
            m_scaled = whole.scaled((whole.deviceIndependentSize() * ratio).toSize(), Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
            m_scaled.setDevicePixelRatio(ratio);
        }
        painter.drawImage(QPoint(0, 0), m_scaled);
        return;
    }
    // Drawn in bands of a few rows: Qt shares the drawing of more rows of a
    // picture that needs converting, such as an 8-bit one, out to a pool of
    // threads, which the show would start and keep for this alone. A packed
    // picture is decoded a band at a time into one small buffer.
    constexpr int kBandRows = 32;
    const QSize logicalSize =
        packed ? (QSizeF(m_packed.size()) / ratio).toSize() : m_image.deviceIndependentSize().toSize();
    const QRect exposed = event->rect() & QRect(QPoint(), logicalSize);
    for (int top = exposed.top(); top <= exposed.bottom(); top += kBandRows) {
        const QRect band(exposed.left(), top, exposed.width(),
                         std::min(kBandRows, exposed.bottom() + 1 - top));
        const QRectF source(QPointF(band.topLeft()) * ratio, QSizeF(band.size()) * ratio);
        if (packed) {
            const QRect pixels = source.toAlignedRect();
            m_packed.decode(pixels, m_band);
            painter.drawImage(band, m_band, QRect(QPoint(), pixels.size()));
        } else {
            painter.drawImage(band, m_image, source);
        }
    }
}

TimeBarShape::TimeBarShape(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TimeBarShape::setFactor(int factor)
{
    m_factor = factor;
    m_backdrop = QPixmap();
    m_filledPixels = std::clamp(montera::twipsToPixels(m_widthTwips * m_factor), 0, width());
    update();
}

void TimeBarShape::setWidthTwips(double twips)
{
    m_widthTwips = twips;
    const int pixels = std::clamp(montera::twipsToPixels(twips * m_factor), 0, width());
    if (pixels == m_filledPixels)
        return;
    // The bar shrinks by a few pixels a step: repaint just the strip between
    // the old and the new end, with the outline's column.
    const int from = std::max(0, std::min(pixels, m_filledPixels) - 1);
    const int to = std::max(pixels, m_filledPixels);
    m_filledPixels = pixels;
    // Painted within the show's tick rather than from a posted request, which
    // would wake the event loop once more for every step.
    repaint(QRect(from, 0, to - from, height()));
}

void TimeBarShape::setBackdrop(QWidget* below)
{
    m_below = below;
    m_backdrop = QPixmap();
    setAttribute(Qt::WA_OpaquePaintEvent, below != nullptr);
}

void TimeBarShape::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_below) {
        const qreal ratio = devicePixelRatioF();
        if (m_backdrop.isNull() || m_backdrop.devicePixelRatio() != ratio) {
            m_backdrop = QPixmap(size() * ratio);
            m_backdrop.setDevicePixelRatio(ratio);
            m_backdrop.fill(parentWidget()->palette().color(parentWidget()->backgroundRole()));
            const QRect covered(m_below->mapFrom(parentWidget(), pos()), size());
            m_below->render(&m_backdrop, QPoint(), QRegion(covered));
        }
        const QRect strip = event->rect();
        painter.drawPixmap(strip, m_backdrop,
                           QRectF(QPointF(strip.topLeft()) * ratio, QSizeF(strip.size()) * ratio).toRect());
    }
    if (m_filledPixels <= 0)
        return;
    const QRect bar(0, 0, m_filledPixels, height());
    // The one-pixel outline as two fills, which cost far less than a stroke.
    painter.fillRect(bar, m_border);
    if (const QRect inside = bar.adjusted(1, 1, -1, -1); inside.isValid())
        painter.fillRect(inside, m_fill);
}

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    montera::installFontSubstitutions();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf16(kMainWindowTitle.data(), qsizetype(kMainWindowTitle.size())));
    setBackColor(this, 0x00000000);
    resize(twipsRect(0, 0, 13560, 11280).size());
    // The window takes every key and tracks the pointer without a button held.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    // Siblings created later are drawn in front, so the controls are made from
    // back to front.
    DummyText = new QLineEdit(this);
    DummyText->setObjectName(QStringLiteral("DummyText"));
    DummyText->setGeometry(twipsRect(0, 0, 150, 270));
    DummyText->setEnabled(false);
    DummyText->setFocusPolicy(Qt::NoFocus);
    DummyText->setAttribute(Qt::WA_TransparentForMouseEvents);

    fraDocFrame = new QWidget(this);
    fraDocFrame->setObjectName(QStringLiteral("fraDocFrame"));
    fraDocFrame->setGeometry(twipsRect(720, 360, 9615, 7335));
    setBackColor(fraDocFrame, 0x00000000);
    setForeColor(fraDocFrame, 0x80000008);
    // The panel takes no input: pointer events pass through it to the window.
    // Qt's disabled state is not used: it would grey every text and picture.
    fraDocFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    fraDocFrame->setFocusPolicy(Qt::NoFocus);

    const QFont fixed9 = designFont(kFixedFont, 9.0, QFont::Normal);
    const QFont fixed1125 = designFont(kFixedFont, 11.25, QFont::Normal);
    const QFont answer = designFont(kProportionalFont, 12.0, QFont::Bold);
    const QFont question = designFont(kProportionalFont, 15.75, QFont::Bold);
    const QString text = QStringLiteral("text");
    constexpr quint32 black = 0x00000000;
    constexpr quint32 white = 0x00FFFFFF;
    constexpr auto clear = Backdrop::Transparent;
    constexpr auto opaque = Backdrop::Opaque;
    QWidget* frame = fraDocFrame;

    Image1 = makeImage(frame, "Image1", twipsRect(0, 120, 9600, 7200), QStringLiteral(":/forms/panel.bmp"));
    lblMode = makeLabel(frame, "lblMode", twipsRect(3360, 480, 2895, 255), {}, white, clear, 0, fixed1125);
    Label2 = makeLabel(frame, "Label2", twipsRect(7680, 240, 735, 255), QStringLiteral("正解数"), white,
                       clear, 0x80000005, fixed1125);
    lblCANum = makeLabel(frame, "lblCANum", twipsRect(8160, 240, 975, 255), {}, white, clear, 0x80000005,
                         fixed1125, Qt::AlignRight);
    lblCAPer = makeLabel(frame, "lblCAPer", twipsRect(8160, 480, 1215, 255), QStringLiteral("0 %"), white,
                         clear, 0x80000005, fixed1125, Qt::AlignRight);
    Label3 = makeLabel(frame, "Label3", twipsRect(7680, 480, 735, 255), QStringLiteral("正解率"), white,
                       clear, 0x80000005, fixed1125);
    lblDoc =
        makeLabel(frame, "lblDoc", twipsRect(360, 1200, 8895, 2415), {}, black, clear, 0x00404040, question);
    lblDoc->setWordWrap(true);
    lblSelect[1] =
        makeLabel(frame, "lblSelect2", twipsRect(1080, 4920, 8055, 255), text, black, opaque, white, answer);
    lblSelect[2] =
        makeLabel(frame, "lblSelect3", twipsRect(1080, 5520, 8055, 255), text, black, opaque, white, answer);
    lblSelect[3] =
        makeLabel(frame, "lblSelect4", twipsRect(1080, 6120, 8055, 255), text, black, opaque, white, answer);
    shpTimeBar = new TimeBarShape(frame);
    shpTimeBar->setObjectName(QStringLiteral("shpTimeBar"));
    shpTimeBar->setGeometry(twipsRect(120, 3880, 9135, 135));
    shpTimeBar->setWidthTwips(9135);
    shpTimeBar->setBackdrop(Image1);
    lblSelect[4] =
        makeLabel(frame, "lblSelect5", twipsRect(1080, 6720, 8055, 255), text, black, opaque, white, answer);
    lblTitle = makeLabel(frame, "lblTitle", twipsRect(3360, 240, 4215, 255), {}, white, clear, 0, fixed1125);
    lblSelect[0] =
        makeLabel(frame, "lblSelect1", twipsRect(1080, 4320, 8055, 255), text, black, opaque, white, answer);
    lblBatsu =
        makeImage(frame, "lblBatsu", twipsRect(2880, 1920, 3840, 3840), QStringLiteral(":/forms/batsu.gif"));
    lblMaru =
        makeImage(frame, "lblMaru", twipsRect(2880, 1920, 3840, 3840), QStringLiteral(":/forms/maru.gif"));
    lblQNum = makeLabel(frame, "lblQNum", twipsRect(4800, 3360, 4455, 255), {}, black, clear, 0x80000005,
                        fixed9, Qt::AlignRight);

    // The panel at its designed size, for other display factors.
    for (QWidget* control : fraDocFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        m_design.push_back({control, control->geometry(), control->font().pointSizeF()});
    m_design.push_back({fraDocFrame, fraDocFrame->geometry(), 0.0});

    timMain = new QTimer(this);
    timMain->setObjectName(QStringLiteral("timMain"));
    timMain->setInterval(kTimerIntervalMs);
}

frmMain::~frmMain() = default;

void frmMain::setDisplayFactor(int factor)
{
    factor = std::max(1, factor);
    if (factor == m_factor)
        return;
    m_factor = factor;
    for (const Designed& designed : m_design) {
        designed.widget->setGeometry(
            QRect(designed.geometry.topLeft() * factor, designed.geometry.size() * factor));
        // Text is laid out anew at the larger size, not drawn small and enlarged.
        if (qobject_cast<QLabel*>(designed.widget)) {
            QFont font = designed.widget->font();
            font.setPointSizeF(designed.points * factor);
            designed.widget->setFont(font);
        }
        if (auto* box = qobject_cast<ImageBox*>(designed.widget))
            showPicture(box, factor);
    }
    shpTimeBar->setFactor(factor);
}

void frmMain::leaveBlackToWindowSystem()
{
    if (m_panelIsOwnWindow)
        return;
    m_panelIsOwnWindow = true;
    paintNothing(this);
    // The load handler has moved the text box off the window, where it shows
    // nothing; painted on screen like the window, it would have no way to draw.
    DummyText->hide();
    // A window of its own inside the show's native window, so that it has a
    // pixel buffer of its own size. It never takes the focus, and pointer
    // events pass through it to the show window as before.
    const QRect place = fraDocFrame->geometry();
    const bool shown = !fraDocFrame->isHidden();
    fraDocFrame->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                                Qt::WindowTransparentForInput);
    fraDocFrame->setAttribute(Qt::WA_ShowWithoutActivating);
    fraDocFrame->winId();
    fraDocFrame->windowHandle()->setParent(windowHandle());
    fraDocFrame->setGeometry(place);
    fraDocFrame->setVisible(shown);
}

void frmMain::unload()
{
    runUnload();
    close();
}

void frmMain::runUnload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    timMain->stop();
    emit unloading();
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event);
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(event);
}

void frmMain::focusInEvent(QFocusEvent* /*event*/) {}

void frmMain::focusOutEvent(QFocusEvent* /*event*/) {}

void frmMain::closeEvent(QCloseEvent* event)
{
    // The window never refuses to unload.
    runUnload();
    event->accept();
}

} // namespace montera
