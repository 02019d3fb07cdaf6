// The two window designs: every control's place, font, colours and text, the
// pictures, and the input routing of the show window.
#include "frmmain.h"
#include "frmset.h"
#include "idlestart.h"
#include "pictures.h"
#include "twips.h"

#include <QFile>
#include <QFontDatabase>
#include <QResource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <QtEndian>
#include <QtTest>

using namespace montera;

namespace {

template<typename T = QWidget>
T* child(QWidget& window, const char* name)
{
    auto* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

QColor bgr(quint32 value)
{
    return montera::colorFromBgr(value);
}

// The current row of a geometry table: the control exists in its container at
// its designed place and is visible.
template<typename Form>
void checkGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    Form window;
    auto* control = window.template findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QVERIFY(control->isVisibleTo(&window));
}

// Counts the paint events of the widgets it filters.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

} // namespace

class TestForms : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void mainGeometry_data();
    void mainGeometry();
    void mainLabels_data();
    void mainLabels();
    void mainDrawingOrder();
    void mainWindow();
    void picturesDrawnAsLabels_data();
    void picturesDrawnAsLabels();
    void fontSubstitutes();
    void panelInputIsTransparent();
    void pointerReachesWindow_data();
    void pointerReachesWindow();
    void keysReachWindow();
    void timeBarWidth();
    void panelAtDisplayFactor_data();
    void panelAtDisplayFactor();
    void mainUnloadsOnce();
    void mainFocusRepaintsNothing();
    void panelBitmapFormat();
    void marksFormat_data();
    void marksFormat();
    void decodedPictures_data();
    void decodedPictures();
    void packedPictures_data();
    void packedPictures();
    void malformedPackedPictures_data();
    void malformedPackedPictures();
    void controlsLieOnPanelParts_data();
    void controlsLieOnPanelParts();

    void setGeometry_data();
    void setGeometry();
    void setCaptions();
    void setWindow();
    void setModesAreOneGroup();
    void setTabOrder();
    void setIdleControls();
    void setKeysPressOnlyTheFocusedButton_data();
    void setKeysPressOnlyTheFocusedButton();
    void setListPattern();
    void setListFolderFill();
    void setListOfTwoFolders();
    void setUnloadsOnce();
};

void TestForms::initTestCase()
{
    qRegisterMetaType<QMouseEvent*>();
    qRegisterMetaType<QKeyEvent*>();
}

void TestForms::mainGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    const auto row = [](const char* name, const char* container, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(container)
                            << QRect(l, t, w, h);
    };
    row("fraDocFrame", "frmMain", 720, 360, 9615, 7335);
    row("lblQNum", "fraDocFrame", 4800, 3360, 4455, 255);
    row("lblMaru", "fraDocFrame", 2880, 1920, 3840, 3840);
    row("lblBatsu", "fraDocFrame", 2880, 1920, 3840, 3840);
    row("lblSelect1", "fraDocFrame", 1080, 4320, 8055, 255);
    row("lblTitle", "fraDocFrame", 3360, 240, 4215, 255);
    row("lblSelect5", "fraDocFrame", 1080, 6720, 8055, 255);
    row("shpTimeBar", "fraDocFrame", 120, 3880, 9135, 135);
    row("lblSelect4", "fraDocFrame", 1080, 6120, 8055, 255);
    row("lblSelect3", "fraDocFrame", 1080, 5520, 8055, 255);
    row("lblSelect2", "fraDocFrame", 1080, 4920, 8055, 255);
    row("lblDoc", "fraDocFrame", 360, 1200, 8895, 2415);
    row("Label3", "fraDocFrame", 7680, 480, 735, 255);
    row("lblCAPer", "fraDocFrame", 8160, 480, 1215, 255);
    row("lblCANum", "fraDocFrame", 8160, 240, 975, 255);
    row("Label2", "fraDocFrame", 7680, 240, 735, 255);
    row("lblMode", "fraDocFrame", 3360, 480, 2895, 255);
    row("Image1", "fraDocFrame", 0, 120, 9600, 7200);
    row("DummyText", "frmMain", 0, 0, 150, 270);
}

void TestForms::mainGeometry()
{
    checkGeometry<frmMain>();
}

void TestForms::mainLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<uint>("fore");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<Qt::Alignment>("horizontal");
    const QString fixed = QStringLiteral("ＭＳ ゴシック");
    const QString proportional = QStringLiteral("ＭＳ Ｐゴシック");
    const auto left = Qt::Alignment(Qt::AlignLeft);
    const auto right = Qt::Alignment(Qt::AlignRight);
    QTest::newRow("lblQNum") << "lblQNum"
                             << "" << fixed << 9.0 << false << 0x0u << false << right;
    QTest::newRow("lblTitle") << "lblTitle"
                              << "" << fixed << 11.25 << false << 0xFFFFFFu << false << left;
    QTest::newRow("lblDoc") << "lblDoc"
                            << "" << proportional << 15.75 << true << 0x0u << false << left;
    QTest::newRow("Label3") << "Label3"
                            << "正解率" << fixed << 11.25 << false << 0xFFFFFFu << false << left;
    QTest::newRow("lblCAPer") << "lblCAPer"
                              << "0 %" << fixed << 11.25 << false << 0xFFFFFFu << false << right;
    QTest::newRow("lblCANum") << "lblCANum"
                              << "" << fixed << 11.25 << false << 0xFFFFFFu << false << right;
    QTest::newRow("Label2") << "Label2"
                            << "正解数" << fixed << 11.25 << false << 0xFFFFFFu << false << left;
    QTest::newRow("lblMode") << "lblMode"
                             << "" << fixed << 11.25 << false << 0xFFFFFFu << false << left;
    for (int slot = 1; slot <= 5; ++slot) {
        const QByteArray name = "lblSelect" + QByteArray::number(slot);
        QTest::newRow(name.constData())
            << QString::fromLatin1(name) << "text" << proportional << 12.0 << true << 0x0u << true << left;
    }
}

void TestForms::mainLabels()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(uint, fore);
    QFETCH(bool, opaque);
    QFETCH(Qt::Alignment, horizontal);
    frmMain window;
    auto* label = window.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    // Set content may hold "<" and "&": never rich text.
    QCOMPARE(label->textFormat(), Qt::PlainText);
    // The design's face where it is installed, otherwise its substitute.
    QCOMPARE(QFontInfo(label->font()).family(), QFontInfo(QFont(family)).family());
    QCOMPARE(label->font().pointSizeF(), points);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().weight(), bold ? QFont::Bold : QFont::Normal);
    QVERIFY(!label->font().italic() && !label->font().underline() && !label->font().strikeOut());
    QCOMPARE(label->palette().color(QPalette::WindowText), bgr(fore));
    QCOMPARE(label->autoFillBackground(), opaque);
    if (opaque) {
        QCOMPARE(label->palette().color(QPalette::Window), bgr(0x00FFFFFF));
    }
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, horizontal);
}

void TestForms::mainDrawingOrder()
{
    frmMain window;
    // Back to front: the picture at the back, the question number in front.
    const QStringList expected{"Image1",     "lblMode",    "Label2",     "lblCANum",   "lblCAPer",
                               "Label3",     "lblDoc",     "lblSelect2", "lblSelect3", "lblSelect4",
                               "shpTimeBar", "lblSelect5", "lblTitle",   "lblSelect1", "lblBatsu",
                               "lblMaru",    "lblQNum"};
    QStringList order;
    for (QObject* object : window.fraDocFrame->children()) {
        if (object->isWidgetType()) {
            order << object->objectName();
        }
    }
    QCOMPARE(order, expected);
    QCOMPARE(window.lblSelect[0]->objectName(), QStringLiteral("lblSelect1"));
    QCOMPARE(window.lblSelect[4]->objectName(), QStringLiteral("lblSelect5"));
}

void TestForms::mainWindow()
{
    frmMain window;
    QCOMPARE(window.windowTitle(), QStringLiteral("ScreenSaver_MainForm_20020313"));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window.size(), QSize(904, 752));
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(window.fraDocFrame->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(window.timMain->interval(), 50);
    QVERIFY(!window.timMain->isActive());
    QVERIFY(!window.timMain->isSingleShot());
    QVERIFY(window.hasMouseTracking());
    QCOMPARE(window.shpTimeBar->fillColor(), QColor(0, 255, 0));
    QCOMPARE(window.Image1->image().size(), QSize(640, 480));
    QCOMPARE(window.lblMaru->image().size(), QSize(256, 256));
    QCOMPARE(window.lblBatsu->image().size(), QSize(256, 256));
    // The 8-bit pictures are held as they are read, not as 32-bit copies.
    for (const ImageBox* picture : {window.Image1, window.lblMaru, window.lblBatsu})
        QCOMPARE(picture->image().format(), QImage::Format_Indexed8);
}

void TestForms::picturesDrawnAsLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("panel") << QStringLiteral("Image1");
    QTest::newRow("circle with its hole") << QStringLiteral("lblMaru");
}

void TestForms::picturesDrawnAsLabels()
{
    QFETCH(QString, name);
    frmMain window;
    auto* picture = window.findChild<ImageBox*>(name);
    QLabel label;
    label.setPixmap(QPixmap::fromImage(picture->image()));
    label.resize(picture->size());
    // Both over the same colour, pixel for pixel.
    QImage expected(picture->size(), QImage::Format_RGB32);
    expected.fill(Qt::magenta);
    QImage drawn = expected;
    label.render(&expected, {}, {}, QWidget::DrawChildren);
    picture->render(&drawn, {}, {}, QWidget::DrawChildren);
    QCOMPARE(drawn, expected);
}

void TestForms::fontSubstitutes()
{
    frmMain window;
    QVERIFY(QFont::substitutes(QStringLiteral("ＭＳ ゴシック"))
                .contains(QStringLiteral("IPAGothic"), Qt::CaseInsensitive));
    QVERIFY(QFont::substitutes(QStringLiteral("ＭＳ Ｐゴシック"))
                .contains(QStringLiteral("IPAPGothic"), Qt::CaseInsensitive));
    // Where the design's faces are missing, the IPA faces are what is drawn.
    if (QFontDatabase::families().contains(QStringLiteral("IPAPGothic"))) {
        QCOMPARE(QFontInfo(window.lblDoc->font()).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(QFontInfo(window.lblTitle->font()).family(), QStringLiteral("IPAGothic"));
    }
}

void TestForms::panelInputIsTransparent()
{
    frmMain window;
    // Not Qt-disabled (that greys the panel), but transparent for the pointer.
    QVERIFY(window.fraDocFrame->isEnabled());
    QVERIFY(window.fraDocFrame->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(window.fraDocFrame->focusPolicy(), Qt::NoFocus);
    QVERIFY(!window.DummyText->isEnabled());
    QCOMPARE(window.DummyText->focusPolicy(), Qt::NoFocus);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        QVERIFY2(control->focusPolicy() == Qt::NoFocus, qPrintable(control->objectName()));
    }
}

void TestForms::pointerReachesWindow_data()
{
    QTest::addColumn<QString>("over");
    QTest::newRow("black surround") << QString();
    QTest::newRow("panel picture") << QStringLiteral("Image1");
    QTest::newRow("answer label") << QStringLiteral("lblSelect3");
    QTest::newRow("question") << QStringLiteral("lblDoc");
    QTest::newRow("circle mark") << QStringLiteral("lblMaru");
    QTest::newRow("time bar") << QStringLiteral("shpTimeBar");
    QTest::newRow("dummy text box") << QStringLiteral("DummyText");
}

void TestForms::pointerReachesWindow()
{
    QFETCH(QString, over);
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPoint point(880, 740);
    if (!over.isEmpty()) {
        auto* control = window.findChild<QWidget*>(over);
        point = control->mapTo(&window, control->rect().center());
    }
    QSignalSpy moves(&window, &frmMain::mouseMove);
    QSignalSpy presses(&window, &frmMain::mouseDown);
    QWindow* handle = window.windowHandle();
    QTest::mouseMove(handle, point - QPoint(3, 3));
    QTest::mouseMove(handle, point);
    QVERIFY(moves.count() >= 1);
    QTest::mousePress(handle, Qt::RightButton, {}, point);
    QCOMPARE(presses.count(), 1);
    QTest::mouseRelease(handle, Qt::RightButton, {}, point);
}

void TestForms::keysReachWindow()
{
    frmMain window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy keys(&window, &frmMain::keyDown);
    int lastKey = 0;
    connect(&window, &frmMain::keyDown, this, [&](QKeyEvent* event) { lastKey = event->key(); });
    QTest::keyClick(window.windowHandle(), Qt::Key_3);
    QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
    QTest::keyClick(window.windowHandle(), Qt::Key_5, Qt::KeypadModifier);
    QCOMPARE(keys.count(), 3);
    QCOMPARE(lastKey, int(Qt::Key_5));
    QVERIFY(!window.DummyText->hasFocus());
}

void TestForms::timeBarWidth()
{
    frmMain window;
    QCOMPARE(window.shpTimeBar->widthTwips(), 9135.0);
    QCOMPARE(window.shpTimeBar->filledWidth(), 609);
    window.shpTimeBar->setWidthTwips(9135.0 * 199 / 200);
    QCOMPARE(window.shpTimeBar->filledWidth(), 606);
    QCOMPARE(window.shpTimeBar->width(), 609);
    QCOMPARE(window.shpTimeBar->height(), 9);
    QCOMPARE(window.shpTimeBar->pos(), QPoint(8, 259));
    // Half the bar: green up to its end, the panel picture after it (the
    // marks, shown in the design, cover its middle).
    window.shpTimeBar->setWidthTwips(4567.5);
    const QImage frame = window.fraDocFrame->grab().toImage();
    const QPoint bar = window.shpTimeBar->pos() + QPoint(0, 4);
    QCOMPARE(frame.pixelColor(bar + QPoint(100, 0)), QColor(0, 255, 0));
    QCOMPARE(frame.pixelColor(bar + QPoint(170, 0)), QColor(0, 255, 0));
    QVERIFY(frame.pixelColor(bar + QPoint(470, 0)) != QColor(0, 255, 0));
    QVERIFY(frame.pixelColor(bar + QPoint(600, 0)) != QColor(0, 255, 0));
    window.shpTimeBar->setWidthTwips(0);
    QCOMPARE(window.shpTimeBar->filledWidth(), 0);
    QCOMPARE(window.shpTimeBar->widthTwips(), 0.0);

    // The bar paints the picture under it itself, exactly as the widgets
    // below it would.
    for (const double twips : {0.0, 15.0, 30.0, 4567.5, 9135.0}) {
        window.shpTimeBar->setWidthTwips(twips);
        window.shpTimeBar->setBackdrop(window.Image1);
        const QImage own = window.fraDocFrame->grab().toImage();
        window.shpTimeBar->setBackdrop(nullptr);
        QCOMPARE(own, window.fraDocFrame->grab().toImage());
    }
}

void TestForms::panelAtDisplayFactor_data()
{
    QTest::addColumn<int>("factor");
    QTest::newRow("twice") << 2;
    QTest::newRow("five times") << 5;
}

void TestForms::panelAtDisplayFactor()
{
    QFETCH(int, factor);
    frmMain designed;
    frmMain window;
    window.setDisplayFactor(factor);
    for (const QWidget* control : window.fraDocFrame->findChildren<QWidget*>()) {
        const auto* original = designed.findChild<QWidget*>(control->objectName());
        QCOMPARE(control->geometry(), QRect(original->pos() * factor, original->size() * factor));
    }
    QCOMPARE(window.fraDocFrame->pos(), QPoint(48, 24) * factor);
    // The pictures made for twice the size, shown at the panel's size; the
    // text at the larger point size.
    for (const ImageBox* box : {window.Image1, window.lblMaru, window.lblBatsu}) {
        QCOMPARE(box->image().width(), designed.findChild<ImageBox*>(box->objectName())->width() * 2);
        QCOMPARE(box->image().deviceIndependentSize().toSize(), box->size());
    }
    QCOMPARE(window.lblDoc->font().pointSizeF(), 15.75 * factor);
    QCOMPARE(window.shpTimeBar->filledWidth(), 609 * factor);
    window.shpTimeBar->setWidthTwips(4567.5);
    QCOMPARE(window.shpTimeBar->filledWidth(), twipsToPixels(4567.5 * factor));
}

void TestForms::mainUnloadsOnce()
{
    frmMain window;
    window.show();
    window.timMain->start();
    QSignalSpy unloading(&window, &frmMain::unloading);
    window.close();
    window.unload();
    window.close();
    QCOMPARE(unloading.count(), 1);
    QVERIFY(window.isUnloaded());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.timMain->isActive());
}

void TestForms::mainFocusRepaintsNothing()
{
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintCounter counter;
    window.installEventFilter(&counter);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.clearFocus();
    QTRY_VERIFY(!window.hasFocus());
    window.setFocus();
    QTRY_VERIFY(window.hasFocus());
    QTest::qWait(20);
    QCOMPARE(counter.paints, 0);
}

void TestForms::panelBitmapFormat()
{
    QFile file(QStringLiteral(":/forms/panel.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 308278);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(data + 2), 308278u);
    QCOMPARE(qFromLittleEndian<quint32>(data + 10), 14u + 40u + 1024u); // pixels after a full palette
    QCOMPARE(qFromLittleEndian<quint32>(data + 14), 40u);               // BITMAPINFOHEADER
    QCOMPARE(qFromLittleEndian<qint32>(data + 18), 640);
    QCOMPARE(qFromLittleEndian<qint32>(data + 22), 480);
    QCOMPARE(qFromLittleEndian<quint16>(data + 28), quint16(8));
    QCOMPARE(qFromLittleEndian<quint32>(data + 30), 0u); // uncompressed
    const quint32 used = qFromLittleEndian<quint32>(data + 46);
    QVERIFY(used == 0 || used == 256);
    const QImage image = QImage::fromData(bytes, "BMP");
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.colorCount(), 256);
    QCOMPARE(image.size(), QSize(640, 480));
}

void TestForms::marksFormat_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QPoint>("clear");
    QTest::addColumn<QPoint>("solid");
    // The circle's hole and the cross's corners let the panel show through.
    QTest::newRow("circle") << ":/forms/maru.gif" << QPoint(128, 80) << QPoint(128, 20);
    QTest::newRow("cross") << ":/forms/batsu.gif" << QPoint(128, 10) << QPoint(40, 40);
}

void TestForms::marksFormat()
{
    QFETCH(QString, resource);
    QFETCH(QPoint, clear);
    QFETCH(QPoint, solid);
    QFile file(resource);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(6), QByteArray("GIF89a"));
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    QCOMPARE(qFromLittleEndian<quint16>(data + 6), quint16(256));
    QCOMPARE(qFromLittleEndian<quint16>(data + 8), quint16(256));
    // One graphic control extension with its transparency flag set.
    const qsizetype extension = bytes.indexOf(QByteArray("\x21\xF9\x04", 3));
    QVERIFY(extension > 0);
    QVERIFY(data[extension + 3] & 0x01);
    const QImage image = QImage::fromData(bytes, "GIF").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(256, 256));
    QCOMPARE(qAlpha(image.pixel(clear)), 0);
    QCOMPARE(qAlpha(image.pixel(solid)), 255);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestForms::decodedPictures_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("panel") << "panel.bmp";
    QTest::newRow("circle") << "maru.gif";
    QTest::newRow("cross") << "batsu.gif";
}

void TestForms::decodedPictures()
{
    QFETCH(QString, picture);
    const QString stored = QStringLiteral(":/forms/") + picture;
    const QString decoded = stored.left(stored.lastIndexOf(u'.')) + QStringLiteral(".px8");
    const QImage image = montera::decodedPicture(decoded);
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    // Drawn from the program's own bytes, not from a copy.
    const QResource resource(decoded);
    QVERIFY(image.constBits() > resource.data() && image.constBits() < resource.data() + resource.size());
    // Every pixel, transparency included, as the stored picture decodes.
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
             QImage(stored).convertToFormat(QImage::Format_ARGB32));
}

void TestForms::packedPictures_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("panel") << "panel@2x.png" << QImage::Format_RGB32;
    QTest::newRow("circle") << "maru@2x.png" << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("cross") << "batsu@2x.png" << QImage::Format_ARGB32_Premultiplied;
}

void TestForms::packedPictures()
{
    QFETCH(QString, picture);
    QFETCH(QImage::Format, format);
    const PackedPicture packed = PackedPicture::fromResource(
        QStringLiteral(":/forms/") + picture.left(picture.lastIndexOf(u'.')) + QStringLiteral(".pxr"));
    QCOMPARE(packed.format(), format);
    // Every pixel as the PNG decodes, in the format the paint takes.
    const QImage whole = packed.toImage();
    QImage source(QStringLiteral(MONTERA_FORMS_DIR "/") + picture);
    source.setDevicePixelRatio(1.0);
    QCOMPARE(whole, source.convertToFormat(format));
    // A band decoded alone, into a larger buffer from an earlier band, holds
    // that part of the picture; one reaching past the edge is clipped.
    QImage band(whole.width(), 64, format);
    for (const QRect& part : {QRect(37, 101, 200, 32), QRect(whole.width() - 50, 0, 100, 3)}) {
        packed.decode(part, band);
        const QRect clipped = part & whole.rect();
        QCOMPARE(band.copy(QRect(QPoint(), clipped.size())), whole.copy(clipped));
    }
}

namespace {

// A packed picture of two rows of width 4: header, two colours, the row
// offsets and the runs (length | colour << 16).
QByteArray packedBytes(const QList<quint32>& words)
{
    QByteArray bytes("MPXR");
    for (const quint32 word : words) {
        const quint32 little = qToLittleEndian(word);
        bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
    }
    return bytes;
}

} // namespace

void TestForms::malformedPackedPictures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QList<quint32>>("pixels");
    constexpr quint32 red = 0xFFFF0000;
    constexpr quint32 blue = 0xFF0000FF;
    constexpr quint32 black = 0xFF000000;
    const QList<quint32> head{4, 2, 2, 0, red, blue};
    const auto rows = [&](QList<quint32> offsets, QList<quint32> runs) { return head + offsets + runs; };
    QTest::newRow("well formed") << packedBytes(rows({0, 2, 3}, {1, 3 | 1 << 16, 4 | 1 << 16})) << true
                                 << QList<quint32>{red, blue, blue, blue, blue, blue, blue, blue};
    QTest::newRow("a run past its row ends the row")
        << packedBytes(rows({0, 1, 2}, {5, 4 | 1 << 16})) << true
        << QList<quint32>{black, black, black, black, blue, blue, blue, blue};
    QTest::newRow("a colour past the table ends the row")
        << packedBytes(rows({0, 2, 3}, {2, 2 | 2 << 16, 4})) << true
        << QList<quint32>{red, red, black, black, red, red, red, red};
    QTest::newRow("rows short of the width")
        << packedBytes(rows({0, 1, 1}, {3})) << true
        << QList<quint32>{red, red, red, black, black, black, black, black};
    QTest::newRow("offsets past the runs")
        << packedBytes(rows({0, 2, 4}, {1, 3, 4})) << false << QList<quint32>{};
    QTest::newRow("offsets falling") << packedBytes(rows({0, 3, 2}, {1, 3})) << false << QList<quint32>{};
    QTest::newRow("table cut short") << packedBytes({4, 2, 2, 0, red}) << false << QList<quint32>{};
    QTest::newRow("no colours") << packedBytes({4, 2, 0, 0, 0, 0, 0}) << false << QList<quint32>{};
    QTest::newRow("unknown flags") << packedBytes({4, 2, 2, 2, red, blue, 0, 1, 2, 4, 4}) << false
                                   << QList<quint32>{};
    QTest::newRow("no header") << QByteArray("MPXR") << false << QList<quint32>{};
    QTest::newRow("an 8-bit picture")
        << QByteArray("MPX8").append(QByteArray(40, '\1')) << false << QList<quint32>{};
}

void TestForms::malformedPackedPictures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);
    QFETCH(QList<quint32>, pixels);
    const PackedPicture packed{QByteArrayView(bytes)};
    QCOMPARE(!packed.isNull(), opens);
    if (!opens)
        return;
    const QImage image = packed.toImage();
    QList<quint32> decoded;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            decoded.append(image.pixel(x, y));
    QCOMPARE(decoded, pixels);
}

void TestForms::controlsLieOnPanelParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onWhite");
    // Texts drawn in black need the white parts of the picture; the white
    // texts need its dark title bar.
    for (const char* name :
         {"lblSelect1", "lblSelect2", "lblSelect3", "lblSelect4", "lblSelect5", "lblDoc", "lblQNum"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    }
    for (const char* name :
         {"lblTitle", "lblMode", "Label2", "Label3", "lblCANum", "lblCAPer", "shpTimeBar"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    }
}

void TestForms::controlsLieOnPanelParts()
{
    QFETCH(QString, name);
    QFETCH(bool, onWhite);
    frmMain window;
    auto* control = window.findChild<QWidget*>(name);
    const QImage panel = window.Image1->image().convertToFormat(QImage::Format_RGB32);
    const QRect inPicture = control->geometry().translated(-window.Image1->pos());
    QVERIFY(panel.rect().contains(inPicture));
    // Every pixel under the control, sampled on a grid, is of the right kind.
    for (int y = inPicture.top(); y <= inPicture.bottom(); y += 2) {
        for (int x = inPicture.left(); x <= inPicture.right(); x += 4) {
            const QColor colour = panel.pixelColor(x, y);
            if (onWhite) {
                QVERIFY2(colour.lightness() > 200, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            } else {
                QVERIFY2(colour.lightness() < 90, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }
}

void TestForms::setGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    const auto row = [](const char* name, const char* container, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(container)
                            << QRect(l, t, w, h);
    };
    row("optMode0", "frmSet", 240, 2520, 5535, 255);
    row("optMode3", "frmSet", 240, 3600, 5535, 255);
    row("optMode2", "frmSet", 240, 3240, 5535, 255);
    row("optMode1", "frmSet", 240, 2880, 5535, 255);
    row("Frame1_1", "frmSet", 120, 2280, 5775, 1695);
    row("cmdCancel", "frmSet", 3120, 4080, 1215, 375);
    row("cmdOK", "frmSet", 1680, 4080, 1215, 375);
    row("Frame1_0", "frmSet", 120, 120, 5775, 2055);
    row("lstSetList", "Frame1_0", 120, 240, 1695, 1710);
    row("cmdGetQuestion", "Frame1_0", 1920, 1440, 3735, 495);
    row("lblCreater", "Frame1_0", 2880, 960, 2775, 255);
    row("lblVersion", "Frame1_0", 2880, 600, 2775, 255);
    row("lblTitle", "Frame1_0", 2880, 240, 2775, 255);
    row("Label3", "Frame1_0", 1920, 960, 855, 255);
    row("Label2", "Frame1_0", 1920, 600, 855, 255);
    row("Label1", "Frame1_0", 1920, 240, 855, 255);
    row("fraDisplay", "frmSet", 6000, 120, 2640, 3855);
    row("lblSize", "fraDisplay", 120, 240, 2400, 255);
    row("cboSize", "fraDisplay", 120, 540, 2400, 315);
    row("chkShowAnswer", "fraDisplay", 120, 1080, 2400, 255);
    row("chkLearn", "fraDisplay", 120, 1440, 2400, 255);
    row("chkIdle", "fraDisplay", 120, 1920, 2400, 255);
    row("lblWait", "fraDisplay", 120, 2310, 1000, 255);
    row("spnWait", "fraDisplay", 1200, 2265, 1320, 315);
    row("cmdStats", "fraDisplay", 120, 3240, 2400, 495);
}

void TestForms::setGeometry()
{
    checkGeometry<frmSet>();
}

void TestForms::setCaptions()
{
    frmSet window;
    QCOMPARE(window.optMode[0]->text(), QStringLiteral("通常モード（マウスを動かすと終了）"));
    QCOMPARE(window.optMode[1]->text(), QStringLiteral("勉強モード（１問正解するまで終了しない）"));
    QCOMPARE(window.optMode[2]->text(), QStringLiteral("受験モード（５問正解するまで終了しない）"));
    // One ASCII blank first, an ideographic blank inside.
    QCOMPARE(window.optMode[3]->text(),
             QString::fromUtf16(u" 鬼\u3000モード（１０問正解するまで終了しない）"));
    QCOMPARE(window.Frame1[0]->title(), QStringLiteral("問題集の選択"));
    QCOMPARE(window.Frame1[1]->title(), QStringLiteral("難易度"));
    QCOMPARE(window.cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(window.cmdCancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    QCOMPARE(window.cmdGetQuestion->text(), QStringLiteral("新しい問題集をダウンロードする"));
    QCOMPARE(window.Label1->text(), QStringLiteral("タイトル"));
    QCOMPARE(window.Label2->text(), QStringLiteral("バージョン"));
    QCOMPARE(window.Label3->text(), QStringLiteral("作成者"));
    QCOMPARE(window.fraDisplay->title(), QStringLiteral("表示"));
    QCOMPARE(window.lblSize->text(), QStringLiteral("表示サイズ"));
    QCOMPARE(window.chkShowAnswer->text(), QStringLiteral("正解を表示する"));
    QCOMPARE(window.chkLearn->text(), QStringLiteral("苦手な問題を優先する"));
    QCOMPARE(window.chkLearn->toolTip(),
             QStringLiteral("オンにすると、まちがえた問題の正解を必ず表示します"));
    QCOMPARE(window.cmdStats->text(), QStringLiteral("成績"));
    QCOMPARE(window.chkIdle->text(), QStringLiteral("操作がないときに起動する"));
    QCOMPARE(window.lblWait->text(), QStringLiteral("待ち時間"));
    QCOMPARE(window.spnWait->suffix(), QStringLiteral("分"));
    QCOMPARE(window.lblIdleNote->textFormat(), Qt::PlainText);
    QStringList sizes;
    for (int i = 0; i < window.cboSize->count(); ++i)
        sizes << window.cboSize->itemText(i);
    QCOMPARE(sizes, (QStringList{"標準", "大", "画面に合わせる"}));
    for (QLabel* value : {window.lblTitle, window.lblVersion, window.lblCreater}) {
        QVERIFY(value->text().isEmpty());
        QCOMPARE(value->textFormat(), Qt::PlainText);
    }
}

void TestForms::setWindow()
{
    frmSet window;
    QCOMPARE(window.windowTitle(), QStringLiteral("モンテラ v2.2 - 設定"));
    QCOMPARE(window.size(), QSize(584, 304));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.isWindow());
}

void TestForms::setModesAreOneGroup()
{
    frmSet window;
    QVERIFY(window.optMode[0]->isChecked());
    window.optMode[3]->setChecked(true);
    QVERIFY(!window.optMode[0]->isChecked());
    window.optMode[1]->click();
    QVERIFY(window.optMode[1]->isChecked());
    QVERIFY(!window.optMode[3]->isChecked());
    QCOMPARE(window.lstSetList->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestForms::setTabOrder()
{
    frmSet window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.cmdOK);
    // The chain as the tab positions give it, skipping controls without focus.
    const QList<QWidget*> expected{
        window.cmdOK,      window.cmdCancel,  window.cmdGetQuestion, window.optMode[1], window.optMode[2],
        window.optMode[3], window.optMode[0], window.lstSetList,     window.cboSize,    window.chkShowAnswer,
        window.chkLearn,   window.chkIdle,    window.spnWait,        window.cmdStats};
    QList<QWidget*> chain;
    QWidget* widget = window.cmdOK;
    do {
        // The spin box's editor takes the focus on the box's behalf.
        if ((widget->focusPolicy() & Qt::TabFocus) &&
            !qobject_cast<QAbstractSpinBox*>(widget->parentWidget())) {
            chain << widget;
        }
        widget = widget->nextInFocusChain();
    } while (widget != window.cmdOK && chain.size() < 20);
    QCOMPARE(chain, expected);
}

// The wait follows the box, the note hides while empty, and every text of the
// start-when-idle controls fits its place in the window's font.
void TestForms::setIdleControls()
{
    frmSet window;
    window.show();
    QCOMPARE(window.lblIdleNote->geometry(), twipsRect(120, 2640, 2400, 510));
    QVERIFY(window.lblIdleNote->isHidden());
    QVERIFY(!window.lblWait->isEnabled() && !window.spnWait->isEnabled());
    window.chkIdle->setChecked(true);
    QVERIFY(window.lblWait->isEnabled() && window.spnWait->isEnabled());
    QCOMPARE(window.spnWait->minimum(), 1);
    QCOMPARE(window.spnWait->maximum(), 120);

    window.spnWait->setValue(120);
    // The longest note: GNOME's delay in seconds, of three digits.
    window.lblIdleNote->setText(blankingNote(599, std::chrono::minutes(120)));
    QVERIFY(!window.lblIdleNote->text().isEmpty());
    for (QWidget* control : {static_cast<QWidget*>(window.chkIdle), static_cast<QWidget*>(window.lblWait),
                             static_cast<QWidget*>(window.spnWait)})
        QVERIFY2(control->sizeHint().width() <= control->width(), qPrintable(control->objectName()));
    QVERIFY(window.lblIdleNote->heightForWidth(window.lblIdleNote->width()) <= window.lblIdleNote->height());
}

void TestForms::setKeysPressOnlyTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("pressed"); // empty: none
    QTest::newRow("Return on OK") << int(Qt::Key_Return) << "cmdOK"
                                  << "cmdOK";
    QTest::newRow("Enter on Cancel") << int(Qt::Key_Enter) << "cmdCancel"
                                     << "cmdCancel";
    QTest::newRow("Return on download") << int(Qt::Key_Return) << "cmdGetQuestion"
                                        << "cmdGetQuestion";
    QTest::newRow("Space on OK") << int(Qt::Key_Space) << "cmdOK"
                                 << "cmdOK";
    QTest::newRow("Return on the list") << int(Qt::Key_Return) << "lstSetList"
                                        << "";
    QTest::newRow("Enter on a mode") << int(Qt::Key_Enter) << "optMode0"
                                     << "";
    QTest::newRow("Return on progress") << int(Qt::Key_Return) << "cmdStats"
                                        << "cmdStats";
    QTest::newRow("Enter on the size box") << int(Qt::Key_Enter) << "cboSize"
                                           << "";
    QTest::newRow("Return on the answer box") << int(Qt::Key_Return) << "chkShowAnswer"
                                              << "";
    QTest::newRow("Enter on the learning box") << int(Qt::Key_Enter) << "chkLearn"
                                               << "";
    QTest::newRow("Escape on OK") << int(Qt::Key_Escape) << "cmdOK"
                                  << "";
    QTest::newRow("Escape on the list") << int(Qt::Key_Escape) << "lstSetList"
                                        << "";
}

void TestForms::setKeysPressOnlyTheFocusedButton()
{
    QFETCH(int, key);
    QFETCH(QString, focus);
    QFETCH(QString, pressed);
    frmSet window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList clicked;
    for (QPushButton* button : {window.cmdOK, window.cmdCancel, window.cmdGetQuestion, window.cmdStats}) {
        connect(button, &QPushButton::clicked, &window,
                [&clicked, button] { clicked << button->objectName(); });
    }
    QSignalSpy unloading(&window, &frmSet::unloading);
    window.findChild<QWidget*>(focus)->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key(key));
    QCOMPARE(clicked, pressed.isEmpty() ? QStringList() : QStringList{pressed});
    QCOMPARE(unloading.count(), 0);
    QVERIFY(window.isVisible());
}

void TestForms::setListPattern()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // Wildcard characters in a name are plain characters, and a letter matches
    // only letters that are the same but for case (not a dotless or wide i).
    const QStringList files{"zeta.qiz",   "Alpha.QIZ",   "beta.5tq",   "Gamma.5TQ", "delta.5tx",
                            "EPS.5TX",    "quiz.txt",    "a.qizx",     "b.qiz.bak", "c.5tqq",
                            "Beta.qiz",   ".hidden.qiz", "*note*.qiz", "??.5TQ",    "\U0001F600.qiz",
                            "d.q\u0131z", "e.q\uFF49z"};
    for (const QString& name : files) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.qiz")));
    const QStringList listed =
        FileListBox::matchingFiles({folder.path()}, QString::fromLatin1(frmSet::kListPattern));
    // Both set formats of the list in either case, sorted by name without regard
    // to case; the other format, other endings, folders and hidden files never.
    const QStringList expected{"*note*.qiz", "??.5TQ",    "Alpha.QIZ", "beta.5tq",
                               "Beta.qiz",   "Gamma.5TQ", "zeta.qiz",  "\U0001F600.qiz"};
    QCOMPARE(listed, expected);
}

void TestForms::setListFolderFill()
{
    QTemporaryDir folder;
    for (const char* name : {"one.qiz", "two.5tx", "three.5tq"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    frmSet window;
    QCOMPARE(window.lstSetList->count(), 0);
    window.lstSetList->setFolders({folder.path()});
    QCOMPARE(window.lstSetList->count(), 2);
    QCOMPARE(window.lstSetList->item(0)->text(), QStringLiteral("one.qiz"));
    QCOMPARE(window.lstSetList->item(1)->text(), QStringLiteral("three.5tq"));
    window.lstSetList->setFolders({folder.filePath(QStringLiteral("missing"))});
    QCOMPARE(window.lstSetList->count(), 0);
}

// The user's sets and the bundled ones: a name in both folders is listed
// once, and a missing folder adds nothing.
void TestForms::setListOfTwoFolders()
{
    QTemporaryDir user;
    QTemporaryDir bundled;
    for (const QString& name : QStringList{"a.qiz", "b.qiz"})
        QVERIFY(QFile(user.filePath(name)).open(QIODevice::WriteOnly));
    for (const QString& name : QStringList{"B.qiz", "a.qiz", "c.5tq"})
        QVERIFY(QFile(bundled.filePath(name)).open(QIODevice::WriteOnly));
    const QStringList listed =
        FileListBox::matchingFiles({user.path(), bundled.path(), user.filePath(QStringLiteral("missing"))},
                                   QString::fromLatin1(frmSet::kListPattern));
    QCOMPARE(listed, (QStringList{"a.qiz", "B.qiz", "b.qiz", "c.5tq"}));
}

void TestForms::setUnloadsOnce()
{
    frmSet window;
    window.show();
    QSignalSpy unloading(&window, &frmSet::unloading);
    window.close();
    window.unload();
    QCOMPARE(unloading.count(), 1);
    QVERIFY(window.isUnloaded());
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestForms)
#include "test_forms.moc"
