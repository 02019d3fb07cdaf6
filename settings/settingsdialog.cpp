#include "settingsdialog.h"

#include "bank.h"
#include "globals.h"
#include "settingsfile.h"
#include "settingsview.h"

#include <QDir>

namespace montera {

SettingsDialog::SettingsDialog(SettingsView& view, QuestionBank& bank, Settings& settings,
                               QString programFolder, QUrl questionSetsPage, UrlOpener openUrl)
    : m_view(view)
    , m_bank(bank)
    , m_settings(settings)
    , m_programFolder(std::move(programFolder))
    , m_questionSetsPage(std::move(questionSetsPage))
    , m_openUrl(std::move(openUrl))
{}

void SettingsDialog::FormLoad()
{
    // From here on the settings file and every set are named without a
    // folder and found beside the program.
    QDir::setCurrent(m_programFolder);
    m_view.setListFolder(m_programFolder);
    INIRead(m_view, m_settings, kSettingsFileName);
}

void SettingsDialog::lstSetListClick()
{
    LoadQuestion(m_bank, m_settings.Mode, m_view.selectedItemText());
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
    INIWrite(m_view, m_settings);
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
