// A show on two screens, offscreen: the show's screen MAIN (primary) lies
// right of SIDE, which gets a black window whose input reaches the show.
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
    void blackSideScreen();
    void pointerOverEitherScreen_data();
    void pointerOverEitherScreen();

private:
    // Starts a show of the mode; returns the black window over SIDE.
    BlackWindow* startShow(int mode);

    FakePlatform m_platform;
    ClockSeededRandom m_random;
    std::unique_ptr<Startup> m_startup;
    int m_ends = 0;
};

BlackWindow* TestScreens::startShow(int mode)
{
    m_ends = 0;
    const auto load = [this, mode](Startup&, frmMain& form) {
        const auto readSettings = [mode] {
            globalSettings().SetFileName = QStringLiteral(MONTERA_TEST_DATA "/good.qiz");
            globalSettings().Mode = std::int16_t(mode);
        };
        ShowWindow::attach(form, m_random, readSettings, [this] { ++m_ends; });
    };
    m_startup = std::make_unique<Startup>(m_platform, QString(), StartupHooks{load, {}});
    m_startup->Main(QStringLiteral("/s"));
    BlackWindow* side = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<BlackWindow*>(widget); window && window->isVisible())
            side = window;
    }
    return side;
}

void TestScreens::blackSideScreen()
{
    QPointer<BlackWindow> side = startShow(1);
    QCOMPARE(m_startup->mainForm()->geometry(), QGuiApplication::primaryScreen()->geometry());
    QVERIFY(side);
    QTRY_COMPARE(QApplication::activeWindow(), m_startup->mainForm());
    // Keys that reach it anyway answer.
    QTest::keyClick(side, Qt::Key_3);
    QVERIFY(m_startup->mainForm()->lblMaru->isVisible() || m_startup->mainForm()->lblBatsu->isVisible());

    m_startup->mainForm()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(side.isNull());
}

void TestScreens::pointerOverEitherScreen_data()
{
    QTest::addColumn<int>("mode");
    // Each pointer event is x, y and what: -1 a move over SIDE, 1 a click
    // over SIDE, 2 a move over the show on MAIN.
    QTest::addColumn<QList<QList<int>>>("events");
    QTest::addColumn<int>("ends");
    // Qt drops a move to where the pointer already is: each row starts
    // somewhere of its own.
    QTest::newRow("a click ends") << 0 << QList<QList<int>>{{300, 100, -1}, {300, 100, 1}} << 1;
    // The same place in either window is 800 pixels apart on the desktop.
    QTest::newRow("one frame for both") << 0 << QList<QList<int>>{{400, 100, -1}, {400, 100, 2}} << 1;
    QTest::newRow("study mode ignores it")
        << 1 << QList<QList<int>>{{500, 100, -1}, {500, 400, -1}, {5, 4, 1}} << 0;
}

void TestScreens::pointerOverEitherScreen()
{
    QFETCH(int, mode);
    QFETCH(QList<QList<int>>, events);
    QFETCH(int, ends);
    QWindow* side = startShow(mode)->windowHandle();
    for (const QList<int>& event : events) {
        const QPoint at(event[0], event[1]);
        if (event[2] == 1)
            QTest::mouseClick(side, Qt::LeftButton, Qt::NoModifier, at);
        else
            QTest::mouseMove(event[2] == 2 ? m_startup->mainForm()->windowHandle() : side, at);
    }
    QCOMPARE(m_ends, ends);
}

QTEST_MAIN(TestScreens)
#include "test_screens.moc"
