// A normal-mode show on two screens, offscreen: the show's screen MAIN (the
// primary) lies right of SIDE, which a black window covers. Each test runs
// with the black window put up after the show window, and, where the window
// system fills it, before the show window loads.
#include "blackwindow.h"
#include "fakeplatform.h"
#include "frmmain.h"
#include "globals.h"
#include "random.h"
#include "showwindow.h"
#include "startup.h"

#include <QApplication>
#include <QtTest>

using namespace montera;

class TestScreens : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void keysAnswer();
    void clickEnds();
    void oneFrameForBothScreens();
    void closingTheShowClosesIt();

private:
    FakePlatform m_platform;
    ClockSeededRandom m_random;
    std::unique_ptr<Startup> m_startup;
    QPointer<BlackWindow> m_side;
    int m_ends = 0;
};

void TestScreens::initTestCase_data()
{
    QTest::addColumn<bool>("fillsBlack");
    QTest::newRow("painted by the program") << false;
    QTest::newRow("filled by the window system") << true;
}

void TestScreens::init()
{
    QFETCH_GLOBAL(bool, fillsBlack);
    m_platform.fillsBlack = fillsBlack;
    m_ends = 0;
    bool coveredBeforeLoad = false;
    const auto load = [this, &coveredBeforeLoad](Startup&, frmMain& form) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            coveredBeforeLoad |= qobject_cast<BlackWindow*>(widget) && widget->isVisible();
        const auto readSettings = [] {
            globalSettings().SetPath = QStringLiteral(MONTERA_TEST_DATA "/good.qiz");
        };
        ShowWindow::attach(form, m_random, readSettings, [this] { ++m_ends; });
    };
    m_startup = std::make_unique<Startup>(m_platform, QString(), StartupHooks{load, {}});
    m_startup->Main(QStringLiteral("/s"));
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<BlackWindow*>(widget); window && window->isVisible())
            m_side = window;
    }
    QVERIFY(m_side);
    QCOMPARE(coveredBeforeLoad, fillsBlack);
    QTRY_COMPARE(QApplication::activeWindow(), m_startup->mainForm());
}

void TestScreens::keysAnswer()
{
    QTest::keyClick(m_side, Qt::Key_3);
    QVERIFY(m_startup->mainForm()->lblMaru->isVisible() || m_startup->mainForm()->lblBatsu->isVisible());
}

void TestScreens::clickEnds()
{
    QTest::mouseClick(m_side->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    QCOMPARE(m_ends, 1);
}

void TestScreens::oneFrameForBothScreens()
{
    // The same place in either window is 800 pixels apart on the desktop.
    QTest::mouseMove(m_side->windowHandle(), QPoint(400, 100));
    QTest::mouseMove(m_startup->mainForm()->windowHandle(), QPoint(400, 100));
    QCOMPARE(m_ends, 1);
}

void TestScreens::closingTheShowClosesIt()
{
    m_startup->mainForm()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_side.isNull());
}

QTEST_MAIN(TestScreens)
#include "test_screens.moc"
