#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace montera {

// The longest and shortest wait that montera-idle's --after accepts.
inline constexpr std::chrono::seconds kShortestIdleWait{1};
inline constexpr std::chrono::seconds kLongestIdleWait{std::chrono::hours(24)};

// Reads a wait as --after takes it: a whole number of minutes, or a whole
// number followed by "s" (seconds) or "m" (minutes). Returns nothing for
// anything else, and for a wait outside one second to 24 hours.
std::optional<std::chrono::seconds> parseIdleWait(const QString& text);

// The range of the settings window's wait box, in minutes.
inline constexpr int kFewestWaitMinutes = 1;
inline constexpr int kMostWaitMinutes = 120;
// The wait of a new entry, and of one whose wait cannot be read.
inline constexpr int kDefaultWaitMinutes = 10;

// What the user's autostart entry for montera-idle says.
struct AutostartEntry {
    // The entry exists and the desktop starts it at login: it is neither
    // Hidden=true nor X-GNOME-Autostart-enabled=false.
    bool enabled = false;
    // The program of its Exec line, and the value of --after there; empty
    // when the line has none (the watcher's own default then holds).
    QString program;
    QString wait;
};

// The user's autostart entry: autostart/montera-idle.desktop in the user's
// configuration folder ($XDG_CONFIG_HOME, ~/.config).
QString autostartEntryPath();

// Reads the entry; a missing or unreadable file is a disabled entry.
AutostartEntry readAutostartEntry(const QString& path);

// The text of an entry that runs the program with --after and the wait.
QByteArray autostartEntryText(const QString& program, const QString& wait);

// The wait as the settings window's box shows it: the nearest whole minute
// within the box's range, or the default for a wait that cannot be read.
int waitMinutes(const QString& wait);

// The idle delay in seconds from the output of
// `gsettings get org.gnome.desktop.session idle-delay` ("uint32 300");
// nothing when the output is something else.
std::optional<int> parseGnomeIdleDelay(const QString& output);

// The note under the wait box: empty unless GNOME blanks the screen (after
// its idle delay, 0 meaning never) before the wait has passed, when the show
// would never be seen.
QString blankingNote(std::optional<int> gnomeDelaySeconds, std::chrono::seconds wait);

} // namespace montera
