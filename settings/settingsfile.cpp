#include "settingsfile.h"

#include "fileutil.h"
#include "globals.h"
#include "settingsview.h"

#include <QFile>

namespace montera {

int parseMode(const QString& value)
{
    bool ok = false;
    const int mode = value.trimmed().toInt(&ok, 10);
    return ok && mode >= 0 && mode <= 3 ? mode : 0;
}

void INIRead(SettingsView& view, Settings& settings, const QString& fileName)
{
    QStringList lines;
    if (!QFile::exists(fileName) || !ReadTextLines(fileName, lines)) {
        INIDefault(view);
        return;
    }
    // Only the first three lines count, in any order; a shorter file has
    // fewer lines to look at.
    for (int i = 0; i < 3; ++i) {
        const QString line = ItemOf(i, lines);
        const QStringView key = QStringView(line).left(4);
        if (key == u"FILE") {
            settings.SetFileName = GetDoc(line);
            if (settings.SetFileName.isEmpty())
                continue;
            // Every equal item is selected; selecting one loads that set.
            for (int item = 0; item < view.itemCount(); ++item) {
                if (view.itemText(item) == settings.SetFileName)
                    view.selectItem(item);
            }
        } else if (key == u"MODE") {
            settings.Mode = static_cast<std::int16_t>(parseMode(GetDoc(line)));
            view.setModeChecked(settings.Mode);
        }
    }
}

void INIWrite(const SettingsView& view, const Settings& settings)
{
    // A set the list cannot show (a 5TX set, another case, a file gone) was
    // never selected; it stays what the file said rather than being lost.
    const QString selected = view.selectedItemText();
    const QString setFile = selected.isEmpty() ? settings.SetFileName : selected;
    const QString text = QStringLiteral("[Setting]\r\nFILE=") + setFile + QStringLiteral("\r\nMODE=") +
                         QString::number(settings.SelectedMode) + QStringLiteral("\r\n");
    // A failed write is silent: the old file, if any, stays whole.
    WriteTextFile(kSettingsFileName, text);
}

void INIDefault(SettingsView& view)
{
    view.setModeChecked(0);
}

} // namespace montera
