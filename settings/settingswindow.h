#pragma once

#include "settingsdialog.h"
#include "settingsview.h"

#include <QObject>

namespace montera {

class frmSet;

// Gives the settings window its behaviour: the set list with the selected
// set's header, the mode buttons, OK, Cancel and the download button. Lives as
// a child of the window.
class SettingsWindow final : public QObject, public SettingsView {
    Q_OBJECT
public:
    // Attaches the behaviour to the window and runs its load handler.
    static SettingsWindow& attach(frmSet& form, const QString& programFolder, const QUrl& questionSetsPage,
                                  SettingsDialog::UrlOpener openUrl);

    SettingsDialog& dialog() { return m_dialog; }

    // Reads the settings file into the settings and the window once more, as
    // the show's start does.
    void readSettings();

    void setListFolder(const QString& folder) override;
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
    void setHeader(const QString& title, const QString& version, const QString& creator) override;
    void showBrowserError() override;
    void unload() override;

private:
    SettingsWindow(frmSet& form, const QString& programFolder, const QUrl& questionSetsPage,
                   SettingsDialog::UrlOpener openUrl);

    frmSet& m_form;
    SettingsDialog m_dialog;
};

// The page the download button opens: the address given at build time, or
// else the page shipped in the program's folder.
QUrl questionSetsPage(const QString& programFolder);

} // namespace montera
