#include "idlestart.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace montera {

namespace {

const QString kEntryGroup = QStringLiteral("[Desktop Entry]");

// Undoes the escapes of a desktop entry's string value.
QString unescapeValue(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            text += QLatin1Char(' ');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        default:
            text += next;
            break;
        }
    }
    return text;
}

// Splits an Exec line into its arguments: blanks separate them, double
// quotes hold blanks, and inside quotes a backslash keeps the next character.
QStringList execArguments(const QString& line)
{
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool inArgument = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < line.size())
                current += line.at(++i);
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inArgument = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

// The program quoted for an Exec line, with the line's own escapes.
QString quotedProgram(const QString& program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    // The quoting's backslashes are themselves escaped in the file.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

std::optional<std::chrono::seconds> parseIdleWait(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})([sm]?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 number = match.captured(1).toLongLong();
    const std::chrono::seconds wait{match.captured(2) == QLatin1String("s") ? number : number * 60};
    if (wait < kShortestIdleWait || wait > kLongestIdleWait)
        return std::nullopt;
    return wait;
}

QString autostartEntryPath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("autostart/montera-idle.desktop"));
}

AutostartEntry readAutostartEntry(const QString& path)
{
    AutostartEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    bool inGroup = false;
    bool hidden = false;
    bool gnomeDisabled = false;
    bool hasExec = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == kEntryGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || line.startsWith(QLatin1Char('#')) || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Hidden")) {
            hidden = value == QLatin1String("true");
        } else if (key == QLatin1String("X-GNOME-Autostart-enabled")) {
            gnomeDisabled = value == QLatin1String("false");
        } else if (key == QLatin1String("Exec")) {
            hasExec = true;
            const QStringList arguments = execArguments(value);
            entry.program = arguments.value(0);
            for (qsizetype i = 1; i < arguments.size(); ++i) {
                if (arguments.at(i) == QLatin1String("--after"))
                    entry.wait = arguments.value(i + 1);
                else if (arguments.at(i).startsWith(QLatin1String("--after=")))
                    entry.wait = arguments.at(i).mid(8);
            }
        }
    }
    entry.enabled = hasExec && !hidden && !gnomeDisabled;
    return entry;
}

QByteArray autostartEntryText(const QString& program, const QString& wait)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=モンテラ\n"
                                        "Comment=Starts the quiz screensaver when the desktop is idle\n"
                                        "Exec=%1 --after %2\n"
                                        "Icon=montera\n"
                                        "Terminal=false\n"
                                        "NoDisplay=true\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(quotedProgram(program), wait);
    return text.toUtf8();
}

int waitMinutes(const QString& wait)
{
    const std::optional<std::chrono::seconds> seconds = parseIdleWait(wait);
    if (!seconds)
        return kDefaultWaitMinutes;
    const auto minutes = static_cast<int>(std::lround(static_cast<double>(seconds->count()) / 60.0));
    return std::clamp(minutes, kFewestWaitMinutes, kMostWaitMinutes);
}

std::optional<int> parseGnomeIdleDelay(const QString& output)
{
    static const QRegularExpression pattern(QStringLiteral("^(?:uint32 )?([0-9]{1,9})$"));
    const QRegularExpressionMatch match = pattern.match(output.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

QString blankingNote(std::optional<int> gnomeDelaySeconds, std::chrono::seconds wait)
{
    if (!gnomeDelaySeconds || *gnomeDelaySeconds <= 0 || *gnomeDelaySeconds >= wait.count())
        return {};
    const int delay = *gnomeDelaySeconds;
    const QString after =
        delay % 60 == 0 ? QStringLiteral("%1分").arg(delay / 60) : QStringLiteral("%1秒").arg(delay);
    return QStringLiteral("GNOME が%1で画面を消すので、表示されません").arg(after);
}

} // namespace montera
