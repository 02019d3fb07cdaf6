#include "startup.h"

#include "frmmain.h"
#include "frmset.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace montera {

namespace {

constexpr std::u16string_view kMainTitle = u"ScreenSaver_MainForm_20020313";
// The title of the Windows display-properties dialog that starts us with /c.
constexpr std::u16string_view kDisplayPropertiesTitle = u"画面のプロパティ";

Platform* g_platform = nullptr;
StartupHooks g_hooks;
WindowHandle g_displayPropertiesWnd = 0;
QPointer<frmMain> g_main;
QPointer<frmSet> g_set;

// Unloaded windows are gone: a later request creates and loads a new one.
template<typename Form>
Form* loaded(const QPointer<Form>& form)
{
    return form && !form->isUnloaded() ? form.data() : nullptr;
}

frmMain& obtainMainForm()
{
    if (frmMain* form = loaded(g_main)) {
        return *form;
    }
    auto* form = new frmMain;
    g_main = form;
    QObject::connect(form, &frmMain::unloading, form, [form] {
        // Form_Unload: the cursor comes back, once per show.
        platform().showCursor(true);
        platform().windowUnloaded(WindowHandle(form->internalWinId()), kMainTitle);
    });
    if (g_hooks.mainFormLoad) {
        g_hooks.mainFormLoad(*form);
    }
    return *form;
}

void openSettings()
{
    frmSet& form = obtainSetForm();
    form.show();
    form.activateWindow();
    qint16 lock = kTrue;
    LockDisplayProperties(lock);
}

} // namespace

void setStartupHooks(StartupHooks hooks)
{
    g_hooks = std::move(hooks);
}

void setPlatform(Platform* platform)
{
    g_platform = platform;
}

Platform& platform()
{
    Q_ASSERT(g_platform);
    return *g_platform;
}

QString argumentString(const QStringList& arguments)
{
    return arguments.join(u' ');
}

StartOutcome Main(const QString& arguments)
{
    // A running show is found by its window's title, whatever the switch.
    if (platform().findWindow(kMainTitle) != 0) {
        return StartOutcome::Ended;
    }
    // Only the first two characters count: "/c:1234" is "/c", "/p 1234" is "/p".
    const QString key = arguments.left(2);
    if (key == u"/p" || key == u"/P") {
        return StartOutcome::Ended;
    }
    if (key == u"/c" || key == u"/C") {
        openSettings();
        return StartOutcome::SettingsOpen;
    }
    if (key == u"/a" || key == u"/A") {
        return StartOutcome::Ended;
    }
    if (key == u"/s" || key == u"/S") {
        StartShow();
        return StartOutcome::ShowRunning;
    }
    openSettings();
    return StartOutcome::SettingsOpen;
}

void StartShow()
{
    Platform& p = platform();
    p.showCursor(false);

    frmMain& form = obtainMainForm();
    // Maximising a borderless window is covering the screen. Without a window
    // manager, showFullScreen() alone keeps the old size, so the geometry is
    // set first.
    QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        form.setGeometry(screen->geometry());
    }
    form.showFullScreen();
    form.activateWindow();
    form.setFocus();

    const auto handle = WindowHandle(form.winId());
    const qreal ratio = form.devicePixelRatioF();
    const int width = qRound(form.width() * ratio);
    const int height = qRound(form.height() * ratio);
    p.windowShown(handle, kMainTitle);
    p.setWindowTopmost(handle, 0, 0, width, height);

    form.timMain->start();
}

void EndShow()
{
    if (frmMain* form = loaded(g_main)) {
        form->unload();
        form->deleteLater();
    }
    platform().exitProcess(0);
}

void LockDisplayProperties(qint16& lockFlag)
{
    Platform& p = platform();
    if (lockFlag == kTrue) {
        g_displayPropertiesWnd = p.findWindow(kDisplayPropertiesTitle);
        if (g_displayPropertiesWnd != 0) {
            p.enableWindow(g_displayPropertiesWnd, false);
        }
    } else if (g_displayPropertiesWnd != 0) {
        // A handle whose window has closed meanwhile is harmless here.
        p.enableWindow(g_displayPropertiesWnd, true);
    }
}

WindowHandle displayPropertiesWnd()
{
    return g_displayPropertiesWnd;
}

frmSet& obtainSetForm()
{
    if (frmSet* form = loaded(g_set)) {
        return *form;
    }
    auto* form = new frmSet;
    g_set = form;
    QObject::connect(form, &frmSet::unloading, form, [form] {
        // Form_Unload: the display-properties window works again.
        qint16 unlock = kFalse;
        LockDisplayProperties(unlock);
        form->deleteLater();
    });
    if (g_hooks.setFormLoad) {
        g_hooks.setFormLoad(*form);
    }
    return *form;
}

frmMain* mainForm()
{
    return loaded(g_main);
}

frmSet* setForm()
{
    return loaded(g_set);
}

void resetStartup()
{
    delete g_main.data();
    delete g_set.data();
    g_displayPropertiesWnd = 0;
}

} // namespace montera
