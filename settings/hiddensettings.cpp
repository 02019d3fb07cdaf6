#include "hiddensettings.h"

#include "bank.h"
#include "frmset.h"
#include "globals.h"

namespace montera {

HiddenSettings::HiddenSettings(const UserFolders& folders)
    : m_dialog(*this, globalBank(), globalSettings(), folders, QUrl(), {})
{
    m_dialog.FormLoad();
}

void HiddenSettings::readSettings()
{
    m_dialog.readSettings();
}

void HiddenSettings::setListFolders(const QStringList& folders)
{
    m_items = FileListBox::matchingFiles(folders, QString::fromLatin1(frmSet::kListPattern));
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
