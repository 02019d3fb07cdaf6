#pragma once

#include "platform.h"

#include <QString>
#include <QStringList>

#include <functional>

class frmMain;
class frmSet;

// Start-up and shut-down of the program: the command-line dispatch, bringing
// the show up and ending it, and the lock on the display-properties dialog.
namespace montera {

// Load handlers of the two windows, run right after a window is created and
// before it is first shown.
struct StartupHooks {
    std::function<void(frmMain&)> mainFormLoad;
    std::function<void(frmSet&)> setFormLoad;
};
void setStartupHooks(StartupHooks hooks);

// The platform that start-up talks to; not owned. Must be set before Main.
void setPlatform(Platform* platform);
Platform& platform();

// 16-bit Booleans as the settings and show code keep them.
inline constexpr qint16 kTrue = -1;
inline constexpr qint16 kFalse = 0;

enum class StartOutcome {
    Ended,        // nothing was opened; the process ends
    SettingsOpen, // the settings window is open; the process lives while it is loaded
    ShowRunning,  // the show is up and its timer runs
};

// The argument string: the program's arguments (without its own name)
// joined with single blanks.
QString argumentString(const QStringList& arguments);

// Decides from the argument string what the process does.
StartOutcome Main(const QString& arguments);

// Hides the cursor, creates and loads the main window, shows it full screen
// and topmost, and starts its timer.
void StartShow();

// Unloads the main window (the cursor comes back) and ends the process.
// Under the test platform the exit is only recorded and EndShow returns.
void EndShow();

// kTrue locks the display-properties window (found by its title); any other
// value unlocks the one found then.
void LockDisplayProperties(qint16& lockFlag);
WindowHandle displayPropertiesWnd();

// The settings window, created hidden and loaded when there is none (or the
// last one was unloaded). Unloading it unlocks the display-properties window.
frmSet& obtainSetForm();

// The loaded windows, or nullptr.
frmMain* mainForm();
frmSet* setForm();

// Deletes both windows and forgets the display-properties window, for tests.
void resetStartup();

} // namespace montera
