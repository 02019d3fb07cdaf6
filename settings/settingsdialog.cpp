#include "settingsdialog.h"

#include "bank.h"
#include "globals.h"
#include "settingsfile.h"
#include "settingsview.h"

#include <QDir>

namespace montera {

SettingsDialog::SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings,
                               UserFolders folders, QUrl questionSetsPage, UrlOpener openUrl,
                               IdleSwitch idleSwitch)
    : m_view(view)
    , m_bank(bank)
    , m_settings(settings)
    , m_folders(std::move(folders))
    , m_questionSetsPage(std::move(questionSetsPage))
    , m_openUrl(std::move(openUrl))
    , m_idleSwitch(std::move(idleSwitch))
{}

void SettingsDialog::FormLoad()
{
    // Sets are named by their bare names and found through the folders; the
    // user's folder is the current one, as the program's was, for anything
    // else that names a file without a folder.
    QDir::setCurrent(m_folders.userSetsFolder());
    m_view.setListFolders(m_folders.setFolders());
    readSettings();
    readIdleStart();
}

void SettingsDialog::readIdleStart()
{
    if (!m_idleSwitch)
        return;
    m_idleEntry = readAutostartEntry(autostartEntryPath());
    m_loadedWaitMinutes = waitMinutes(m_idleEntry.wait);
    m_view.setIdleStart(m_idleEntry.enabled, m_loadedWaitMinutes);
    idleStartChanged();
}

void SettingsDialog::idleStartChanged()
{
    if (!m_idleSwitch)
        return;
    const std::chrono::minutes wait{m_view.idleWaitMinutes()};
    m_view.setIdleNote(m_view.isIdleStartChecked() ? blankingNote(m_gnomeIdleDelay, wait) : QString());
}

void SettingsDialog::setGnomeIdleDelay(std::optional<int> seconds)
{
    m_gnomeIdleDelay = seconds;
    idleStartChanged();
}

bool SettingsDialog::applyIdleStart()
{
    if (!m_idleSwitch)
        return true;
    QStringList arguments;
    if (m_view.isIdleStartChecked()) {
        const int minutes = m_view.idleWaitMinutes();
        const bool waitKept = m_idleEntry.enabled && !m_idleEntry.wait.isEmpty() &&
                              minutes == m_loadedWaitMinutes && parseIdleWait(m_idleEntry.wait);
        arguments = {QStringLiteral("--enable"),
                     waitKept ? m_idleEntry.wait : QStringLiteral("%1m").arg(minutes)};
    } else if (m_idleEntry.enabled) {
        arguments = {QStringLiteral("--disable")};
    } else {
        return true;
    }
    const QString complaint = m_idleSwitch(arguments);
    if (!complaint.isEmpty()) {
        m_view.showIdleStartError(complaint);
        return false;
    }
    return true;
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
    // A watcher that could not start keeps the window open, so that the user
    // can clear the box or try another wait.
    if (!applyIdleStart())
        return;
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
