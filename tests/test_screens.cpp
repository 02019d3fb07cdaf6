// A normal-mode show on two screens, offscreen: the show's screen MAIN (the
// primary) lies right of SIDE, which a black window covers.
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

void TestScreens::init()
{
    m_ends = 0;
    const auto load = [this](Startup&, frmMain& form) {
        const auto readSettings = [] {
            globalSettings().SetFileName = QStringLiteral(MONTERA_TEST_DATA "/good.qiz");
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
