#pragma once

#include <QString>

namespace montera {

// The display this session runs on, as a file-name part: each display has
// one watcher.
QString watcherDisplayName();

// The lock file that the display's watcher holds, in the user's runtime
// folder.
QString watcherLockFile();

// Where the output of a watcher that --enable started goes, beside its lock.
QString watcherLogFile();

// Whether the watcher that holds the display's lock runs this very program
// with --after and this wait.
bool displayWatcherRuns(const QString& program, const QString& wait);

// Ends the watcher that holds the display's lock, whichever folder its program
// lies in, and waits for it to go. True when none is left; false with the
// reason otherwise.
bool stopDisplayWatcher(QString& error);

// Starts the program with --after and the wait, detached from the caller, and
// watches it for two seconds: true when it still runs then. A watcher that
// ends sooner could not start; its output is the message.
bool startDetachedWatcher(const QString& program, const QString& wait, QString& message);

} // namespace montera
