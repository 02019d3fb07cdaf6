#include "settingsdialog.h"

#include "bank.h"
#include "globals.h"
#include "settingsfile.h"
#include "settingsview.h"

#include <QDir>

namespace montera {

SettingsDialog::SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings,
                               UserFolders folders, QUrl questionSetsPage, UrlOpener openUrl)
    : m_view(view)
    , m_bank(bank)
    , m_settings(settings)
    , m_folders(std::move(folders))
    , m_questionSetsPage(std::move(questionSetsPage))
    , m_openUrl(std::move(openUrl))
{}

void SettingsDialog::FormLoad()
{
    // Sets are named by their bare names and found through the folders; the
    // user's folder is the current one, as the program's was, for anything
    // else that names a file without a folder.
    QDir::setCurrent(m_folders.userSetsFolder());
    m_view.setListFolders(m_folders.setFolders());
    readSettings();
}

void SettingsDialog::readSettings()
{
    INIRead(m_view, m_settings, m_folders.settingsFile());
    m_settings.SetPath = m_folders.setPath(m_settings.SetFileName);
}

void SettingsDialog::lstSetListClick()
{
    LoadQuestion(m_bank, m_settings.Mode, m_folders.setPath(m_view.selectedItemText()));
    m_view.setHeader(m_bank.SetTitle, m_bank.SetVersion, m_bank.SetCreator);
}

void SettingsDialog::cmdOKClick()
{
    // The buttons are asked in this order; the last one is the remaining case.
    std::int16_t mode = 3;
    for (std::int16_t i = 0; i < 3; ++i) {
        if (m_view.isModeChecked(i)) {
            mode = i;
            break;
        }
    }
    m_settings.SelectedMode = mode;
    m_settings.Size = m_view.displaySize();
    m_settings.ShowAnswer = m_view.isShowAnswerChecked();
    m_settings.Learn = m_view.isLearnChecked();
    QString error;
    const bool saved = m_folders.createSettingsFolder(error) &&
                       INIWrite(m_view, m_settings, m_folders.settingsFile(), &error);
    // Beside the program a failed write stays silent, as it always was. In
    // the user's own folder it is worth telling: the window stays open, so
    // that the choices are not lost while the user makes room.
    if (!saved && m_folders.layout() == FolderLayout::Installed) {
        m_view.showSaveError(m_folders.settingsFile(), error);
        return;
    }
    m_view.unload();
}

void SettingsDialog::cmdCancelClick()
{
    m_view.unload();
}

void SettingsDialog::cmdGetQuestionClick()
{
    // Every click asks for the page anew; the desktop decides whether it
    // opens a new window or tab.
    if (!m_openUrl || !m_openUrl(m_questionSetsPage))
        m_view.showBrowserError();
}

} // namespace montera
