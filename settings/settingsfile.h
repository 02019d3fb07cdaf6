#pragma once

#include <QString>

namespace montera {

class SettingsView;
struct Settings;

// The settings file, in code page 932 with CR LF; UserFolders says where it
// lies.
inline const QString kSettingsFileName = QStringLiteral("モンテラ.ini");

// Reads the file into the settings and the window: of the first three lines,
// a FILE line selects the set in the list and a MODE line switches on its mode
// button; the SIZE, SHOWANSWER and LEARN lines that follow them set the display
// options, 0 when missing or of any other value. A missing or unreadable file
// leaves the defaults.
void INIRead(SettingsView& view, Settings& settings, const QString& fileName);

// Writes the list's selected set, the selected mode and the display options
// to the settings file; with nothing selected, the set read from the file
// stays. A program that reads only the first three lines reads it as before.
// False when the file cannot be written, with the reason in error; the old
// file, if any, then stays whole.
bool INIWrite(const SettingsView& view, const Settings& settings, const QString& fileName,
              QString* error = nullptr);

// The state of the window when there is nothing to read: the normal mode.
void INIDefault(SettingsView& view);

// The mode a MODE value stands for; anything but a whole number from 0 to 3
// counts as the normal mode 0.
int parseMode(const QString& value);

// A whole number from 0 to last, or 0 for anything else.
int parseChoice(const QString& value, int last);

} // namespace montera
