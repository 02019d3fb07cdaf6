#pragma once

#include "idlestart.h"
#include "userfolders.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace montera {

class SettingsView;
struct QuestionBank;
struct Settings;

// The settings window's behaviour: the list of sets with the header of the
// selected one, the mode buttons, OK, Cancel and the download button.
class SettingsDialog {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;
    // Runs montera-idle with the arguments (--enable WAIT or --disable) and
    // returns what it complained of, empty when it succeeded. Without one the
    // window has no start-when-idle controls.
    using IdleSwitch = std::function<QString(const QStringList& arguments)>;

    SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings, UserFolders folders,
                   QUrl questionSetsPage, UrlOpener openUrl, IdleSwitch idleSwitch = {});

    // The load handler: the user's sets' folder becomes the current
    // directory, the list shows the user's and the bundled sets, and the
    // settings file is read.
    void FormLoad();
    // Reads the settings file into the settings and the window, and finds
    // the file of the set it names.
    void readSettings();
    void lstSetListClick();
    void cmdOKClick();
    void cmdCancelClick();
    void cmdGetQuestionClick();
    // The idle box or the wait changed: the note follows them.
    void idleStartChanged();
    // GNOME's idle delay in seconds, once read; nothing when unknown.
    void setGnomeIdleDelay(std::optional<int> seconds);

private:
    // Loads the idle controls from the user's autostart entry.
    void readIdleStart();
    // Writes the idle controls through the switch; false after telling the
    // user why it failed.
    bool applyIdleStart();

    SettingsView& m_view;
    QuestionBank& m_bank;
    Settings& m_settings;
    const UserFolders m_folders;
    QUrl m_questionSetsPage;
    UrlOpener m_openUrl;
    IdleSwitch m_idleSwitch;
    // The autostart entry as the window found it, and the minutes shown for
    // its wait: an unchanged wait keeps the entry's own words (90s).
    AutostartEntry m_idleEntry;
    int m_loadedWaitMinutes = kDefaultWaitMinutes;
    std::optional<int> m_gnomeIdleDelay;
};

} // namespace montera
