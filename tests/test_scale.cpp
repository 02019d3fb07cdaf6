// The show window's pictures on a screen of twice the density: drawn from the
// pictures made for it, at the design's size.
#include "frmmain.h"

#include <QApplication>
#include <QtTest>

class TestScale : public QObject {
    Q_OBJECT
private slots:
    void panelAtScale2();
};

void TestScale::panelAtScale2()
{
    montera::frmMain form;
    const auto* panel = form.findChild<montera::ImageBox*>(QStringLiteral("Image1"));
    QVERIFY(panel);
    const QImage picture = panel->image();
    QCOMPARE(picture.devicePixelRatio(), 2.0);
    QCOMPARE(picture.size(), QSize(1280, 960));
    QCOMPARE(picture.deviceIndependentSize().toSize(), panel->size());
}

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scale.moc"
