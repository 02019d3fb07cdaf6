#include "startup.h"

#include "frmmain.h"
#include "frmset.h"
#include "previewwindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace montera {

namespace {

// The title of the Windows display-properties dialog that starts us with /c.
constexpr std::u16string_view kDisplayPropertiesTitle = u"画面のプロパティ";

// Unloaded windows are gone: a later request creates and loads a new one.
template<typename Form>
Form* loaded(const QPointer<Form>& form)
{
    return form && !form->isUnloaded() ? form.data() : nullptr;
}

} // namespace

QString argumentString(const QStringList& arguments)
{
    return arguments.join(u' ');
}

WindowHandle windowArgument(const QString& arguments)
{
    QStringView rest = QStringView(arguments).mid(2);
    if (rest.startsWith(u':'))
        rest = rest.mid(1);
    bool ok = false;
    const qlonglong number = rest.trimmed().toLongLong(&ok);
    return ok ? WindowHandle(static_cast<std::intptr_t>(number)) : 0;
}

Startup::Startup(Platform& platform, QString programFolder, StartupHooks hooks)
    : m_platform(platform)
    , m_programFolder(std::move(programFolder))
    , m_hooks(std::move(hooks))
{}

Startup::~Startup()
{
    delete m_main.data();
    delete m_set.data();
    delete m_preview.data();
}

frmMain& Startup::obtainMainForm()
{
    if (frmMain* form = loaded(m_main)) {
        return *form;
    }
    auto* form = new frmMain;
    m_main = form;
    QObject::connect(form, &frmMain::unloading, form, [this, form] {
        // Form_Unload: the cursor comes back, once per show, and the other
        // screens are uncovered.
        m_platform.showCursor(true);
        m_covers.close();
        m_platform.windowUnloaded(WindowHandle(form->internalWinId()), kMainWindowTitle);
    });
    if (m_hooks.mainFormLoad) {
        m_hooks.mainFormLoad(*this, *form);
    }
    return *form;
}

void Startup::openSettings(WindowHandle host)
{
    frmSet& form = obtainSetForm();
    form.show();
    form.activateWindow();
    if (host == 0) {
        qint16 lock = kTrue;
        LockDisplayProperties(lock);
        return;
    }
    // The host's dialog takes no input until the settings window unloads. A
    // handle whose window is gone makes both calls fail, which is harmless.
    m_displayPropertiesWnd = host;
    m_platform.enableWindow(host, false);
}

bool Startup::openPreview(WindowHandle host)
{
    QWindow* parent = m_hooks.foreignWindow ? m_hooks.foreignWindow(host) : QWindow::fromWinId(WId(host));
    if (!parent) {
        return false;
    }
    QImage panel;
    {
        // The show's window, loaded as the show loads it but never shown: it
        // never becomes a native window with the show's title, which a later
        // start would take for a running show.
        frmMain form;
        if (m_hooks.previewLoad) {
            m_hooks.previewLoad(*this, form);
        }
        panel = form.fraDocFrame->grab().toImage();
    }
    auto* preview = new PreviewWindow(std::move(panel));
    m_preview = preview;
    preview->showInside(*parent);
    // The host destroys its window without telling us; until then it is
    // looked for a few times a second.
    auto* watch = new QTimer(preview);
    QObject::connect(watch, &QTimer::timeout, preview, [this, watch, host] {
        if (!m_platform.previewParentExists(host)) {
            watch->stop();
            m_platform.exitProcess(0);
        }
    });
    watch->start(kPreviewWatchIntervalMs);
    return true;
}

StartOutcome Startup::Main(const QString& arguments)
{
    // A running show is found by its window's title, whatever the switch.
    if (m_platform.findWindow(kMainWindowTitle) != 0) {
        return StartOutcome::Ended;
    }
    // The first two characters are the switch; a window number may follow:
    // "/c:1234" is "/c" for that window, "/p 1234" is "/p".
    const QString key = arguments.left(2);
    if (key == u"/p" || key == u"/P") {
        // Without a window to draw into, a preview has nowhere to go.
        const WindowHandle host = windowArgument(arguments);
        if (host == 0 || !m_platform.previewParentExists(host) || !openPreview(host)) {
            return StartOutcome::Ended;
        }
        return StartOutcome::PreviewRunning;
    }
    if (key == u"/c" || key == u"/C") {
        openSettings(windowArgument(arguments));
        return StartOutcome::SettingsOpen;
    }
    if (key == u"/a" || key == u"/A") {
        return StartOutcome::Ended;
    }
    if (key == u"/s" || key == u"/S") {
        StartShow();
        return StartOutcome::ShowRunning;
    }
    openSettings(0);
    return StartOutcome::SettingsOpen;
}

void Startup::StartShow()
{
    m_platform.showCursor(false);
    // Where black windows cost the program nothing, those over the other
    // screens go up first: the window system fills them while the show window
    // loads. On two 4K screens that takes the server 4 ms, which would
    // otherwise come after the show window's own black, before the first
    // question is on the screen.
    m_covers.coverAhead(QGuiApplication::primaryScreen());

    frmMain& form = obtainMainForm();
    // The show runs on the primary screen; the others turn black. Maximising a
    // borderless window is covering the screen. Without a window manager,
    // showFullScreen() alone keeps the old size, so the geometry is set first.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        form.setScreen(screen);
        form.setGeometry(screen->geometry());
    }
    // Where the window system fills a window with black, the show window
    // paints the panel alone.
    if (m_platform.fillWithBlack(WindowHandle(form.winId()))) {
        form.leaveBlackToWindowSystem();
    }
    form.showFullScreen();
    form.activateWindow();
    form.setFocus();

    const auto handle = WindowHandle(form.winId());
    const qreal ratio = form.devicePixelRatioF();
    const int width = qRound(form.width() * ratio);
    const int height = qRound(form.height() * ratio);
    m_platform.windowShown(handle, kMainWindowTitle);
    // Qt keeps a screen's corner in device pixels; the primary screen's is
    // (0, 0) wherever there is only one screen, and always on Windows.
    const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
    m_platform.setWindowTopmost(handle, corner.x(), corner.y(), width, height);
    m_covers.cover(form);

    form.timMain->start();
}

void Startup::EndShow()
{
    if (frmMain* form = loaded(m_main)) {
        form->unload();
        form->deleteLater();
    }
    m_platform.exitProcess(0);
}

void Startup::LockDisplayProperties(qint16& lockFlag)
{
    if (lockFlag == kTrue) {
        m_displayPropertiesWnd = m_platform.findWindow(kDisplayPropertiesTitle);
        if (m_displayPropertiesWnd != 0) {
            m_platform.enableWindow(m_displayPropertiesWnd, false);
        }
    } else if (m_displayPropertiesWnd != 0) {
        // A handle whose window has closed meanwhile is harmless here.
        m_platform.enableWindow(m_displayPropertiesWnd, true);
    }
}

frmSet& Startup::obtainSetForm()
{
    if (frmSet* form = loaded(m_set)) {
        return *form;
    }
    auto* form = new frmSet;
    m_set = form;
    QObject::connect(form, &frmSet::unloading, form, [this, form] {
        // Form_Unload: the display-properties window works again.
        qint16 unlock = kFalse;
        LockDisplayProperties(unlock);
        form->deleteLater();
    });
    if (m_hooks.setFormLoad) {
        m_hooks.setFormLoad(*this, *form);
    }
    return *form;
}

frmMain* Startup::mainForm() const
{
    return loaded(m_main);
}

frmSet* Startup::setForm() const
{
    return loaded(m_set);
}

PreviewWindow* Startup::previewWindow() const
{
    return m_preview.data();
}

} // namespace montera
