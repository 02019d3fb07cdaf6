#pragma once

#include "platform.h"
#include "screencovers.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWindow;

// Start-up and shut-down of the program: the command-line dispatch, bringing
// the show up and ending it, the preview, and the lock on the dialog that
// opened the settings.
namespace montera {

class PreviewWindow;
class frmMain;
class frmSet;
class Startup;

// What the program adds to the start: the load handlers of the two windows,
// run right after a window is created and before it is first shown, and how
// a window of another program is reached.
struct StartupHooks {
    std::function<void(Startup&, frmMain&)> mainFormLoad;
    std::function<void(Startup&, frmSet&)> setFormLoad;
    // The main window's load handler for a preview: the window is never
    // shown, its panel is drawn once, and nothing is recorded.
    std::function<void(Startup&, frmMain&)> previewLoad = nullptr;
    // The window of another program that the preview goes into, as Qt
    // reaches it, or null; QWindow::fromWinId when not given. The window is
    // not deleted before the process ends.
    std::function<QWindow*(WindowHandle)> foreignWindow = nullptr;
};

// 16-bit Booleans as the settings and show code keep them.
inline constexpr qint16 kTrue = -1;
inline constexpr qint16 kFalse = 0;

enum class StartOutcome {
    Ended,          // nothing was opened; the process ends
    SettingsOpen,   // the settings window is open; the process lives while it is loaded
    ShowRunning,    // the show is up and its timer runs
    PreviewRunning, // a still of the show is in the host's window; the process lives while that window does
};

// The argument string: the program's arguments (without its own name)
// joined with single blanks.
QString argumentString(const QStringList& arguments);

// The window number that follows the two-character switch in the argument
// string, after a colon or blanks ("/c:1234", "/p 1234"), or 0 when there is
// none. A negative number is a handle widened from 32 bits, as Windows
// widens them.
WindowHandle windowArgument(const QString& arguments);

// How often a running preview looks whether its host window is still there.
inline constexpr int kPreviewWatchIntervalMs = 200;

// One start of the program. It owns the windows it opens and the handle of
// the display-properties window it locked, and talks to the window system
// through the platform it is given. The program makes one in main; tests make
// their own.
class Startup {
public:
    // The program folder is the folder the program runs from; UserFolders
    // decides where the settings file and the question sets lie.
    Startup(Platform& platform, QString programFolder, StartupHooks hooks);
    // Deletes the windows that are still there.
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    Platform& platform() { return m_platform; }
    const QString& programFolder() const { return m_programFolder; }

    // Decides from the argument string what the process does.
    StartOutcome Main(const QString& arguments);

    // Hides the cursor, creates and loads the main window, shows it full
    // screen and topmost, covers every other screen with a black window, and
    // starts its timer.
    void StartShow();

    // Unloads the main window (the cursor comes back, the black windows
    // close) and ends the process.
    // Under the test platform the exit is only recorded and EndShow returns.
    void EndShow();

    // kTrue locks the display-properties window (found by its title); any
    // other value unlocks the one locked then.
    void LockDisplayProperties(qint16& lockFlag);
    // The window that the settings window keeps locked while it is loaded:
    // the one the host named, or the display-properties window.
    WindowHandle displayPropertiesWnd() const { return m_displayPropertiesWnd; }

    // The settings window, created hidden and loaded when there is none (or
    // the last one was unloaded). Unloading it unlocks the display-properties
    // window.
    frmSet& obtainSetForm();

    // The loaded windows, or nullptr.
    frmMain* mainForm() const;
    frmSet* setForm() const;
    PreviewWindow* previewWindow() const;

private:
    frmMain& obtainMainForm();
    // Opens the settings window and locks the host's window, or the
    // display-properties window when the host named none.
    void openSettings(WindowHandle host);
    // Draws the show's panel once into a window inside the host's, and ends
    // the process once the host's window is gone. False when the host's
    // window cannot be reached.
    bool openPreview(WindowHandle host);

    Platform& m_platform;
    const QString m_programFolder;
    const StartupHooks m_hooks;
    WindowHandle m_displayPropertiesWnd = 0;
    QPointer<frmMain> m_main;
    ScreenCovers m_covers{m_platform};
    QPointer<frmSet> m_set;
    QPointer<PreviewWindow> m_preview;
};

} // namespace montera
