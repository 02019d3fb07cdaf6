#pragma once

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

    SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings, QString programFolder,
                   QUrl questionSetsPage, UrlOpener openUrl);

    // The load handler: the program's folder becomes the current directory,
    // the list shows its sets, and the settings file is read.
    void FormLoad();
    void lstSetListClick();
    void cmdOKClick();
    void cmdCancelClick();
    void cmdGetQuestionClick();

private:
    SettingsView& m_view;
    QuestionBank& m_bank;
    Settings& m_settings;
    QString m_programFolder;
    QUrl m_questionSetsPage;
    UrlOpener m_openUrl;
};

} // namespace montera
