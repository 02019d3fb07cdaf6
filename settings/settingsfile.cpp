#include "settingsfile.h"

#include "fileutil.h"
#include "globals.h"
#include "settingsview.h"

#include <QFile>

namespace montera {

int parseMode(const QString& value)
{
    return parseChoice(value, 3);
}

int parseChoice(const QString& value, int last)
{
    bool ok = false;
    const int choice = value.trimmed().toInt(&ok, 10);
    return ok && choice >= 0 && choice <= last ? choice : 0;
}

namespace {

// The value of the first line whose key is exactly the name, or a null string.
QString valueOf(const QStringList& lines, QStringView name)
{
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 && QStringView(line).left(equals) == name)
            return line.mid(equals + 1);
    }
    return {};
}

} // namespace

void INIRead(SettingsView& view, Settings& settings, const QString& fileName)
{
    QStringList lines;
    if (!QFile::exists(fileName) || !ReadTextLines(fileName, lines)) {
        INIDefault(view);
        return;
    }
    // The keys added after the three designed lines are found by their whole
    // name on any line: the designed keys match by their first four letters
    // only, and neither new name begins with those.
    settings.Size = static_cast<DisplaySize>(parseChoice(valueOf(lines, u"SIZE"), 2));
    settings.ShowAnswer = parseChoice(valueOf(lines, u"SHOWANSWER"), 1) == 1;
    settings.Learn = parseChoice(valueOf(lines, u"LEARN"), 1) == 1;
    view.setDisplaySize(settings.Size);
    view.setShowAnswer(settings.ShowAnswer);
    view.setLearn(settings.Learn);
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

bool INIWrite(const SettingsView& view, const Settings& settings, const QString& fileName, QString* error)
{
    // A set the list cannot show (a 5TX set, another case, a file gone) was
    // never selected; it stays what the file said rather than being lost.
    const QString selected = view.selectedItemText();
    const QString setFile = selected.isEmpty() ? settings.SetFileName : selected;
    const QString text = QStringLiteral("[Setting]\r\nFILE=") + setFile + QStringLiteral("\r\nMODE=") +
                         QString::number(settings.SelectedMode) + QStringLiteral("\r\nSIZE=") +
                         QString::number(static_cast<int>(settings.Size)) +
                         QStringLiteral("\r\nSHOWANSWER=") + (settings.ShowAnswer ? u'1' : u'0') +
                         QStringLiteral("\r\nLEARN=") + (settings.Learn ? u'1' : u'0') +
                         QStringLiteral("\r\n");
    return WriteTextFile(fileName, text, error);
}

void INIDefault(SettingsView& view)
{
    view.setModeChecked(0);
    view.setDisplaySize(DisplaySize::Standard);
    view.setShowAnswer(false);
    view.setLearn(false);
}

} // namespace montera
