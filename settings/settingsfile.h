#pragma once

#include <QString>

namespace montera {

class SettingsView;
struct Settings;

// The settings file beside the program, in code page 932 with CR LF.
inline const QString kSettingsFileName = QStringLiteral("モンテラ.ini");

// Reads the first three lines of the file into the settings and the window:
// a FILE line selects the set in the list, a MODE line switches on its mode
// button. A missing or unreadable file leaves the defaults.
void INIRead(SettingsView& view, Settings& settings, const QString& fileName);

// Writes the list's selected set and the selected mode to the settings file;
// with nothing selected, the set read from the file stays.
void INIWrite(const SettingsView& view, const Settings& settings);

// The state of the window when there is nothing to read: the normal mode.
void INIDefault(SettingsView& view);

// The mode a MODE value stands for; anything but a whole number from 0 to 3
// counts as the normal mode 0.
int parseMode(const QString& value);

} // namespace montera
