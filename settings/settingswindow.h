#pragma once

#include "settingsdialog.h"
#include "settingsview.h"

#include <QObject>

#include <functional>

class QWidget;

namespace montera {

class frmSet;

// Gives the settings window its behaviour: the set list with the selected
// set's header, the mode buttons, OK, Cancel and the download button. Lives as
// a child of the window.
class SettingsWindow final : public QObject, public SettingsView {
    Q_OBJECT
public:
    // Makes the progress window of a set (file name and title, the title
    // null for every title) from the history file; null when it cannot.
    using ProgressMaker = std::function<QWidget*(const QString& historyPath, const QString& setFile,
                                                 const QString& setTitle, QWidget* parent)>;

    // Attaches the behaviour to the window and runs its load handler. Without
    // a progress maker the button 成績 does nothing; without an idle switch
    // the start-when-idle controls are hidden.
    static SettingsWindow& attach(frmSet& form, const UserFolders& folders, const QUrl& questionSetsPage,
                                  SettingsDialog::UrlOpener openUrl, ProgressMaker makeProgress = {},
                                  SettingsDialog::IdleSwitch idleSwitch = {});

    SettingsDialog& dialog() { return m_dialog; }

    // Reads the settings file into the settings and the window once more, as
    // the show's start does.
    void readSettings();

    void setListFolders(const QStringList& folders) override;
    int itemCount() const override;
    QString itemText(int index) const override;
    void selectItem(int index) override;
    QString selectedItemText() const override;
    void setModeChecked(int mode) override;
    bool isModeChecked(int mode) const override;
    void setDisplaySize(DisplaySize size) override;
    DisplaySize displaySize() const override;
    void setShowAnswer(bool on) override;
    bool isShowAnswerChecked() const override;
    void setLearn(bool on) override;
    bool isLearnChecked() const override;
    void setHeader(const QString& title, const QString& version, const QString& creator) override;
    void showBrowserError() override;
    void showSaveError(const QString& fileName, const QString& reason) override;
    void unload() override;
    void setIdleStart(bool on, int waitMinutes) override;
    bool isIdleStartChecked() const override;
    int idleWaitMinutes() const override;
    void setIdleNote(const QString& note) override;
    void showIdleStartError(const QString& message) override;

private:
    SettingsWindow(frmSet& form, const UserFolders& folders, const QUrl& questionSetsPage,
                   SettingsDialog::UrlOpener openUrl, ProgressMaker makeProgress,
                   SettingsDialog::IdleSwitch idleSwitch);

    // Asks GNOME for its idle delay, in the background, when gsettings is
    // there; the note follows the answer.
    void readGnomeIdleDelay();

    // Opens the progress window of the selected set, or of the set in the
    // settings file when none is selected.
    void openProgress();

    frmSet& m_form;
    const QString m_historyFile;
    const ProgressMaker m_makeProgress;
    SettingsDialog m_dialog;
};

// The switch that runs the montera-idle beside this program, waiting for it;
// empty on Windows, whose own dialog starts the screensaver.
SettingsDialog::IdleSwitch idleProgramSwitch();

// The page the download button opens: the address given at build time, or
// else the page shipped with the program.
QUrl questionSetsPage(const UserFolders& folders);

} // namespace montera
