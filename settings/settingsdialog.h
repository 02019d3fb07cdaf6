#pragma once

#include "userfolders.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace montera {

class SettingsView;
struct QuestionBank;
struct Settings;

// The settings window's behaviour: the list of sets with the header of the
// selected one, the mode buttons, OK, Cancel and the download button.
class SettingsDialog {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings, UserFolders folders,
                   QUrl questionSetsPage, UrlOpener openUrl);

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

private:
    SettingsView& m_view;
    QuestionBank& m_bank;
    Settings& m_settings;
    const UserFolders m_folders;
    QUrl m_questionSetsPage;
    UrlOpener m_openUrl;
};

} // namespace montera
