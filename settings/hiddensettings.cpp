#include "hiddensettings.h"

#include "bank.h"
#include "frmset.h"
#include "globals.h"
#include "settingsfile.h"

namespace montera {

HiddenSettings::HiddenSettings(const QString& programFolder)
    : m_dialog(*this, globalBank(), globalSettings(), programFolder, QUrl(), {})
{
    m_dialog.FormLoad();
}

void HiddenSettings::readSettings()
{
    INIRead(*this, globalSettings(), kSettingsFileName);
}

void HiddenSettings::setListFolder(const QString& folder)
{
    m_items = FileListBox::matchingFiles(folder, QString::fromLatin1(frmSet::kListPattern));
    m_selected = -1;
}

void HiddenSettings::selectItem(int index)
{
    // As in the window's list, only a change of selection loads the set.
    if (index == m_selected || index < 0 || index >= m_items.size())
        return;
    m_selected = index;
    m_dialog.lstSetListClick();
}

} // namespace montera
