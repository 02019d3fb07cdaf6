// Start-up with the recording platform: the command-line dispatch, the show's
// start and end, the preview, and the display-properties lock; and the
// lock-file marker of the Qt platform.
#include "fakeplatform.h"
#include "frmmain.h"
#include "frmset.h"
#include "platform_qt.h"
#include "previewwindow.h"
#include "startup.h"

#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

using montera::FakePlatform;
using montera::frmMain;
using montera::frmSet;
using montera::PreviewWindow;
using montera::StartOutcome;
using montera::Startup;
using montera::WindowHandle;

Q_DECLARE_METATYPE(StartOutcome)

namespace {

constexpr WindowHandle kDisplayProperties = 42;
// The host's preview window, which exists without a title.
constexpr WindowHandle kPreviewHost = 1234;
const char* const kFindShow = "FindWindow(ScreenSaver_MainForm_20020313)";
const char* const kFindProperties = "FindWindow(画面のプロパティ)";

// The calls with the main window's handle, which differs per run, as "H".
QStringList calls(const FakePlatform& fake)
{
    QStringList list;
    for (const std::string& call : fake.calls) {
        QString text = QString::fromStdString(call);
        if (text.startsWith(u"SetWindowPos(")) {
            text.replace(QRegularExpression(QStringLiteral("^SetWindowPos\\(\\d+,")),
                         QStringLiteral("SetWindowPos(H,"));
        }
        list << text;
    }
    return list;
}

QString topmostCall()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    return QStringLiteral("SetWindowPos(H,-1,0,0,%1,%2,0x50)").arg(size.width()).arg(size.height());
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void argumentString_data();
    void argumentString();
    void windowArgument_data();
    void windowArgument();
    void dispatch_data();
    void dispatch();
    void showLoadsBeforeShowing();
    void previewDrawsPanelInsideHost();
    void previewEndsWhenHostGoes();
    void previewFitsPanel_data();
    void previewFitsPanel();
    void endShowRestoresCursorAndExits();
    void closingShowRestoresCursorOnce();
    void settingsUnloadUnlocks_data();
    void settingsUnloadUnlocks();
    void settingsWindowIsNewAfterUnload();
    void lockFlagValues_data();
    void lockFlagValues();
    void lockFileMarksRunningShow();
    void qtCursorCount();

private:
    std::unique_ptr<FakePlatform> m_fake;
    // The host's preview window as Qt reaches it.
    std::unique_ptr<QWindow> m_host;
    std::unique_ptr<Startup> m_startup;
    int m_mainLoads = 0;
    int m_setLoads = 0;
    int m_previewLoads = 0;
    std::function<void(frmMain&)> m_previewLoad;
};

void TestStartup::init()
{
    m_fake = std::make_unique<FakePlatform>();
    m_fake->untitledWindows.insert(kPreviewHost);
    m_host = std::make_unique<QWindow>();
    m_host->setGeometry(0, 0, 200, 100);
    m_mainLoads = 0;
    m_setLoads = 0;
    m_previewLoads = 0;
    m_previewLoad = nullptr;
    m_startup = std::make_unique<Startup>(
        *m_fake, QString(),
        montera::StartupHooks{
            [this](Startup&, frmMain&) { ++m_mainLoads; }, [this](Startup&, frmSet&) { ++m_setLoads; },
            [this](Startup&, frmMain& form) {
                ++m_previewLoads;
                if (m_previewLoad)
                    m_previewLoad(form);
            },
            [this](WindowHandle window) { return window == kPreviewHost ? m_host.get() : nullptr; }});
}

void TestStartup::cleanup()
{
    m_startup.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_host.reset();
    m_fake.reset();
}

void TestStartup::argumentString_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("one") << QStringList{"/c:1234"} << "/c:1234";
    QTest::newRow("two") << QStringList{"/p", "1234"} << "/p 1234";
    QTest::newRow("leading blank kept") << QStringList{" /s"} << " /s";
}

void TestStartup::argumentString()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(montera::argumentString(arguments), expected);
}

void TestStartup::windowArgument_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<WindowHandle>("expected");
    QTest::newRow("after a colon") << "/c:1234" << WindowHandle(1234);
    QTest::newRow("after a blank") << "/p 1234" << WindowHandle(1234);
    QTest::newRow("after blanks") << "/P  77" << WindowHandle(77);
    QTest::newRow("32 bits, unsigned") << "/c:4294967295" << WindowHandle(4294967295U);
    QTest::newRow("negative, widened") << "/c:-2" << WindowHandle(std::intptr_t(-2));
    QTest::newRow("none") << "/c" << WindowHandle(0);
    QTest::newRow("colon alone") << "/c:" << WindowHandle(0);
    QTest::newRow("not a number") << "/c:abc" << WindowHandle(0);
    QTest::newRow("number and more") << "/p 12x" << WindowHandle(0);
}

void TestStartup::windowArgument()
{
    QFETCH(QString, arguments);
    QFETCH(WindowHandle, expected);
    QCOMPARE(montera::windowArgument(arguments), expected);
}

void TestStartup::dispatch_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("showRunning");
    QTest::addColumn<bool>("propertiesOpen");
    QTest::addColumn<StartOutcome>("outcome");
    QTest::addColumn<QStringList>("expectedCalls");
    // The window the settings window keeps locked.
    QTest::addColumn<WindowHandle>("locked");

    const QStringList ended{kFindShow};
    const QStringList settings{kFindShow, kFindProperties};
    const QStringList settingsLocking{kFindShow, kFindProperties, "EnableWindow(42,0)"};
    const QStringList settingsLockingHost{kFindShow, "EnableWindow(1234,0)"};
    const QStringList show{kFindShow, "ShowCursor(0)", "Shown(ScreenSaver_MainForm_20020313)", topmostCall()};
    const QStringList preview{kFindShow, "IsWindow(1234)"};
    const auto settingsOpen = StartOutcome::SettingsOpen;
    const auto previewRunning = StartOutcome::PreviewRunning;
    const WindowHandle none = 0;
    const WindowHandle host = kPreviewHost;
    const WindowHandle properties = kDisplayProperties;

    QTest::newRow("/c with a window number")
        << "/c:1234" << false << false << settingsOpen << settingsLockingHost << host;
    QTest::newRow("/c's window number before the title")
        << "/c:1234" << false << true << settingsOpen << settingsLockingHost << host;
    QTest::newRow("/C with a window number")
        << "/C:1234" << false << false << settingsOpen << settingsLockingHost << host;
    QTest::newRow("/c: without a number")
        << "/c:" << false << true << settingsOpen << settingsLocking << properties;
    QTest::newRow("/c locks the properties")
        << "/c" << false << true << settingsOpen << settingsLocking << properties;
    QTest::newRow("/C") << "/C" << false << true << settingsOpen << settingsLocking << properties;
    QTest::newRow("/p with a window number")
        << "/p 1234" << false << false << previewRunning << preview << none;
    QTest::newRow("/P after a colon") << "/P:1234" << false << false << previewRunning << preview << none;
    QTest::newRow("/p with a closed window")
        << "/p 99" << false << true << StartOutcome::Ended << QStringList{kFindShow, "IsWindow(99)"} << none;
    QTest::newRow("/p 0") << "/p 0" << false << false << StartOutcome::Ended << ended << none;
    QTest::newRow("/p during a show") << "/p 1234" << true << false << StartOutcome::Ended << ended << none;
    QTest::newRow("/P") << "/P" << false << false << StartOutcome::Ended << ended << none;
    QTest::newRow("/a") << "/a" << false << true << StartOutcome::Ended << ended << none;
    QTest::newRow("/A") << "/A" << false << false << StartOutcome::Ended << ended << none;
    QTest::newRow("/s") << "/s" << false << true << StartOutcome::ShowRunning << show << none;
    QTest::newRow("/S") << "/S" << false << false << StartOutcome::ShowRunning << show << none;
    QTest::newRow("/s and more") << "/screen 7" << false << false << StartOutcome::ShowRunning << show
                                 << none;
    QTest::newRow("empty") << "" << false << true << settingsOpen << settingsLocking << properties;
    QTest::newRow("leading blank") << " /s" << false << false << settingsOpen << settings << none;
    QTest::newRow("xx") << "xx" << false << false << settingsOpen << settings << none;
    QTest::newRow("switch without slash") << "s" << false << false << settingsOpen << settings << none;
    QTest::newRow("other slash letter") << "/x" << false << false << settingsOpen << settings << none;
    QTest::newRow("dash") << "-s" << false << false << settingsOpen << settings << none;
    QTest::newRow("second /s") << "/s" << true << false << StartOutcome::Ended << ended << none;
    QTest::newRow("/c during a show") << "/c" << true << true << StartOutcome::Ended << ended << none;
    QTest::newRow("empty during a show") << "" << true << false << StartOutcome::Ended << ended << none;
}

void TestStartup::dispatch()
{
    QFETCH(QString, arguments);
    QFETCH(bool, showRunning);
    QFETCH(bool, propertiesOpen);
    QFETCH(StartOutcome, outcome);
    QFETCH(QStringList, expectedCalls);
    QFETCH(WindowHandle, locked);
    if (showRunning) {
        m_fake->windows[u"ScreenSaver_MainForm_20020313"] = 7;
    }
    if (propertiesOpen) {
        m_fake->windows[u"画面のプロパティ"] = kDisplayProperties;
    }

    QCOMPARE(m_startup->Main(arguments), outcome);
    QCOMPARE(calls(*m_fake), expectedCalls);

    frmMain* show = m_startup->mainForm();
    frmSet* settings = m_startup->setForm();
    PreviewWindow* preview = m_startup->previewWindow();
    QCOMPARE(show != nullptr, outcome == StartOutcome::ShowRunning);
    QCOMPARE(settings != nullptr, outcome == StartOutcome::SettingsOpen);
    QCOMPARE(preview != nullptr, outcome == StartOutcome::PreviewRunning);
    QCOMPARE(m_mainLoads, outcome == StartOutcome::ShowRunning ? 1 : 0);
    QCOMPARE(m_setLoads, outcome == StartOutcome::SettingsOpen ? 1 : 0);
    QCOMPARE(m_previewLoads, outcome == StartOutcome::PreviewRunning ? 1 : 0);
    QCOMPARE(m_startup->displayPropertiesWnd(), locked);
    if (settings) {
        QVERIFY(settings->isVisible());
    }
    if (preview) {
        QVERIFY(preview->isVisible());
    }
    if (show) {
        QVERIFY(show->isVisible());
        QVERIFY(show->isFullScreen());
        QCOMPARE(show->geometry(), QGuiApplication::primaryScreen()->geometry());
        QVERIFY(show->timMain->isActive());
        QCOMPARE(m_fake->cursorCount, -1);
    } else {
        QCOMPARE(m_fake->cursorCount, 0);
    }
    QVERIFY(!m_fake->exited);
}

void TestStartup::showLoadsBeforeShowing()
{
    QStringList callsAtLoad;
    bool visibleAtLoad = true;
    bool timerAtLoad = true;
    frmSet* hiddenSettings = nullptr;
    m_startup = std::make_unique<Startup>(*m_fake, QString(),
                                          montera::StartupHooks{[&](Startup& startup, frmMain& form) {
                                                                    ++m_mainLoads;
                                                                    callsAtLoad = calls(*m_fake);
                                                                    visibleAtLoad = form.isVisible();
                                                                    timerAtLoad = form.timMain->isActive();
                                                                    // The show's load handler loads the
                                                                    // settings window hidden.
                                                                    hiddenSettings = &startup.obtainSetForm();
                                                                    QCOMPARE(&startup.obtainSetForm(),
                                                                             hiddenSettings);
                                                                },
                                                                [this](Startup&, frmSet& form) {
                                                                    ++m_setLoads;
                                                                    QVERIFY(!form.isVisible());
                                                                }});
    QCOMPARE(m_startup->Main(QStringLiteral("/s")), StartOutcome::ShowRunning);
    QCOMPARE(callsAtLoad, (QStringList{kFindShow, "ShowCursor(0)"}));
    QVERIFY(!visibleAtLoad);
    QVERIFY(!timerAtLoad);
    QCOMPARE(m_mainLoads, 1);
    QCOMPARE(m_setLoads, 1);
    QVERIFY(hiddenSettings);
    QVERIFY(!hiddenSettings->isVisible());
    QCOMPARE(m_startup->setForm(), hiddenSettings);
    // Loading the settings window for the show does not touch the lock.
    QVERIFY(!calls(*m_fake).contains(kFindProperties));
}

void TestStartup::previewDrawsPanelInsideHost()
{
    // Counts the native windows made, by their widgets' names.
    struct NativeWindows : QObject {
        QStringList made;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::WinIdChange && qobject_cast<QWidget*>(watched))
                made << watched->objectName();
            return false;
        }
    } native;
    qApp->installEventFilter(&native);
    // The panel as the load handler leaves it: here all green.
    m_previewLoad = [](frmMain& form) {
        for (QWidget* control : form.fraDocFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->hide();
        montera::setBackColor(form.fraDocFrame, 0x0000FF00);
    };
    QCOMPARE(m_startup->Main(QStringLiteral("/p 1234")), StartOutcome::PreviewRunning);
    qApp->removeEventFilter(&native);

    // A show started now does not take the preview for a running show.
    QCOMPARE(native.made, QStringList{"PreviewWindow"});
    PreviewWindow* preview = m_startup->previewWindow();
    QVERIFY(preview->windowTitle() != QString::fromUtf16(montera::kMainWindowTitle.data(),
                                                         qsizetype(montera::kMainWindowTitle.size())));
    QCOMPARE(preview->windowHandle()->parent(), m_host.get());
    QCOMPARE(preview->geometry(), QRect(0, 0, 200, 100));
    const QImage drawn = preview->grab().toImage();
    QCOMPARE(drawn.pixelColor(preview->panelRect().center()), QColor(Qt::green));
    QCOMPARE(drawn.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(m_fake->cursorCount, 0);
}

void TestStartup::previewEndsWhenHostGoes()
{
    QCOMPARE(m_startup->Main(QStringLiteral("/p 1234")), StartOutcome::PreviewRunning);
    QTest::qWait(3 * montera::kPreviewWatchIntervalMs);
    QVERIFY(!m_fake->exited);
    m_fake->untitledWindows.clear();
    QElapsedTimer gone;
    gone.start();
    QTRY_VERIFY_WITH_TIMEOUT(m_fake->exited, 1000);
    QVERIFY(gone.elapsed() <= 2 * montera::kPreviewWatchIntervalMs);
    QTest::qWait(2 * montera::kPreviewWatchIntervalMs);
    QCOMPARE(calls(*m_fake).count(QStringLiteral("ExitProcess(0)")), 1);
}

void TestStartup::previewFitsPanel_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("panel");
    // The panel is 40 by 20.
    QTest::newRow("wider") << QSize(100, 20) << QRect(30, 0, 40, 20);
    QTest::newRow("taller") << QSize(40, 40) << QRect(0, 10, 40, 20);
    QTest::newRow("smaller") << QSize(10, 10) << QRect(0, 2, 10, 5);
    QTest::newRow("larger, same shape") << QSize(400, 200) << QRect(0, 0, 400, 200);
    QTest::newRow("a pixel of margin") << QSize(41, 20) << QRect(0, 0, 40, 20);
}

void TestStartup::previewFitsPanel()
{
    QFETCH(QSize, window);
    QFETCH(QRect, panel);
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    PreviewWindow preview(red);
    preview.resize(window);
    QCOMPARE(preview.panelRect(), panel);
    const QImage drawn = preview.grab().toImage();
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const QColor expected = panel.contains(x, y) ? Qt::red : Qt::black;
            if (drawn.pixelColor(x, y) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(drawn.pixelColor(x, y).name())));
        }
    }
}

void TestStartup::endShowRestoresCursorAndExits()
{
    QCOMPARE(m_startup->Main(QStringLiteral("/s")), StartOutcome::ShowRunning);
    QPointer<frmMain> show = m_startup->mainForm();
    QSignalSpy unloading(show.data(), &frmMain::unloading);
    m_fake->calls.clear();
    m_startup->EndShow();
    QCOMPARE(calls(*m_fake),
             (QStringList{"ShowCursor(1)", "Unloaded(ScreenSaver_MainForm_20020313)", "ExitProcess(0)"}));
    QCOMPARE(unloading.count(), 1);
    QCOMPARE(m_fake->cursorCount, 0);
    QVERIFY(m_fake->exited);
    QCOMPARE(m_fake->exitCode, 0);
    QVERIFY(!m_startup->mainForm());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(show.isNull());
}

void TestStartup::closingShowRestoresCursorOnce()
{
    QCOMPARE(m_startup->Main(QStringLiteral("/S")), StartOutcome::ShowRunning);
    frmMain* show = m_startup->mainForm();
    show->close();
    show->unload();
    QCOMPARE(m_fake->cursorCount, 0);
    QCOMPARE(calls(*m_fake).count(QStringLiteral("ShowCursor(1)")), 1);
    QVERIFY(!show->timMain->isActive());
}

void TestStartup::settingsUnloadUnlocks_data()
{
    QTest::addColumn<bool>("propertiesOpen");
    QTest::addColumn<QStringList>("afterUnload");
    QTest::newRow("properties open") << true << QStringList{"EnableWindow(42,1)"};
    QTest::newRow("no properties window") << false << QStringList{};
}

void TestStartup::settingsUnloadUnlocks()
{
    QFETCH(bool, propertiesOpen);
    QFETCH(QStringList, afterUnload);
    if (propertiesOpen) {
        m_fake->windows[u"画面のプロパティ"] = kDisplayProperties;
    }
    QCOMPARE(m_startup->Main(QStringLiteral("/c")), StartOutcome::SettingsOpen);
    frmSet* settings = m_startup->setForm();
    // The properties dialog may have closed meanwhile: no new lookup is made.
    m_fake->windows.clear();
    m_fake->calls.clear();
    settings->close();
    settings->unload();
    QCOMPARE(calls(*m_fake), afterUnload);
    QVERIFY(!settings->isVisible());
    QVERIFY(!m_startup->setForm());
}

void TestStartup::settingsWindowIsNewAfterUnload()
{
    QCOMPARE(m_startup->Main(QString()), StartOutcome::SettingsOpen);
    QPointer<frmSet> first = m_startup->setForm();
    first->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    frmSet& second = m_startup->obtainSetForm();
    QVERIFY(!second.isVisible());
    QCOMPARE(m_setLoads, 2);
}

void TestStartup::lockFlagValues_data()
{
    QTest::addColumn<int>("flag");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("True locks") << -1 << QStringList{kFindProperties, "EnableWindow(42,0)"};
    QTest::newRow("False unlocks") << 0 << QStringList{"EnableWindow(42,1)"};
    QTest::newRow("1 is not True") << 1 << QStringList{"EnableWindow(42,1)"};
}

void TestStartup::lockFlagValues()
{
    QFETCH(int, flag);
    QFETCH(QStringList, expected);
    m_fake->windows[u"画面のプロパティ"] = kDisplayProperties;
    qint16 lock = montera::kTrue;
    m_startup->LockDisplayProperties(lock);
    m_fake->calls.clear();
    qint16 value = qint16(flag);
    m_startup->LockDisplayProperties(value);
    QCOMPARE(calls(*m_fake), expected);
    QCOMPARE(m_startup->displayPropertiesWnd(), kDisplayProperties);

    // Nothing found: the handle becomes zero and unlocking does nothing.
    m_fake->windows.clear();
    m_startup->LockDisplayProperties(lock);
    m_fake->calls.clear();
    qint16 unlock = montera::kFalse;
    m_startup->LockDisplayProperties(unlock);
    QVERIFY(m_fake->calls.empty());
    QCOMPARE(m_startup->displayPropertiesWnd(), montera::WindowHandle(0));
}

void TestStartup::lockFileMarksRunningShow()
{
    QTemporaryDir folder;
    const std::u16string_view title = u"ScreenSaver_MainForm_20020313";
    montera::QtPlatform running;
    montera::QtPlatform later;
    running.setLockFolder(folder.path());
    later.setLockFolder(folder.path());
    QCOMPARE(later.findWindow(title), montera::WindowHandle(0));
    running.windowShown(1, title);
    QVERIFY(later.findWindow(title) != 0);
    QVERIFY(running.findWindow(title) != 0);
    QCOMPARE(later.findWindow(u"画面のプロパティ"), montera::WindowHandle(0));
    running.windowUnloaded(1, title);
    QCOMPARE(later.findWindow(title), montera::WindowHandle(0));

    // A lock left by a process that died does not count.
    QFile stale(later.lockFilePath(title));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("2147480000\nmontera\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    QCOMPARE(later.findWindow(title), montera::WindowHandle(0));
}

void TestStartup::qtCursorCount()
{
    montera::QtPlatform platform;
    platform.showCursor(false);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    platform.showCursor(false);
    platform.showCursor(true);
    QVERIFY(QGuiApplication::overrideCursor());
    platform.showCursor(true);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
