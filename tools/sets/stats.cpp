#include "stats.h"

#include "bank.h"
#include "json.h"

#include <QFileInfo>

#include <memory>

namespace montera::sets {

namespace {

QByteArray percent(std::int64_t right, std::int64_t asked)
{
    return asked > 0 ? QByteArray::number(qRound64(double(right) * 100.0 / double(asked))) : QByteArray("0");
}

QByteArray number(std::int64_t n)
{
    return QByteArray::number(static_cast<qlonglong>(n));
}

} // namespace

SetStats statsOf(HistoryStore& history, const QString& setPath, std::int64_t now, int utcOffset)
{
    SetStats stats;
    stats.set = QFileInfo(setPath).fileName();
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    const bool loads = LoadQuestion(*bank, mode, setPath) == LoadOutcome::Ok;
    stats.title = loads ? bank->SetTitle : QString();
    stats.figures = history.figures(
        stats.set, loads ? (bank->SetTitle.isNull() ? QStringLiteral("") : bank->SetTitle) : QString(), now,
        utcOffset);
    return stats;
}

QByteArray formatStatsText(const std::vector<SetStats>& stats, QDate today)
{
    QByteArray out;
    for (const SetStats& s : stats) {
        const SetFigures& f = s.figures;
        out += s.set.toUtf8() + ": " + s.title.toUtf8() + '\n';
        out += "  asked " + number(f.asked) + ", right " + number(f.right) + " (" +
               percent(f.right, f.asked) + " %)\n";
        out += "  last 7 days: asked " + number(f.askedLast7Days) + ", right " + number(f.rightLast7Days) +
               " (" + percent(f.rightLast7Days, f.askedLast7Days) + " %)\n";
        out += "  last 30 days:\n";
        for (size_t i = 0; i < f.days.size(); ++i) {
            const DayFigures& day = f.days[i];
            if (day.asked == 0)
                continue;
            out += "    " + today.addDays(qint64(i) - 29).toString(Qt::ISODate).toUtf8() + "  asked " +
                   number(day.asked) + ", right " + number(day.right) + " (" + percent(day.right, day.asked) +
                   " %)\n";
        }
        out += "  most missed:\n";
        for (const MissedQuestion& q : f.mostMissed)
            out += "    " + number(q.misses) + " of " + number(q.asked) + "  " +
                   q.text.simplified().toUtf8() + "  -> " + q.answer.simplified().toUtf8() + '\n';
    }
    return out;
}

QByteArray formatStatsJson(const std::vector<SetStats>& stats, QDate today)
{
    QByteArray out = "[";
    for (size_t n = 0; n < stats.size(); ++n) {
        const SetStats& s = stats[n];
        const SetFigures& f = s.figures;
        out += n ? ",\n {" : "\n {";
        out += "\"set\": " + json::quote(s.set) + ", \"title\": " + json::quote(s.title);
        out += ", \"asked\": " + number(f.asked) + ", \"right\": " + number(f.right);
        out += ", \"asked_last_7_days\": " + number(f.askedLast7Days) +
               ", \"right_last_7_days\": " + number(f.rightLast7Days);
        out += ",\n  \"days\": [";
        for (size_t i = 0; i < f.days.size(); ++i) {
            out += i ? ", " : "";
            out += "{\"date\": \"" + today.addDays(qint64(i) - 29).toString(Qt::ISODate).toUtf8() +
                   "\", \"asked\": " + number(f.days[i].asked) + ", \"right\": " + number(f.days[i].right) +
                   '}';
        }
        out += "],\n  \"most_missed\": [";
        for (size_t i = 0; i < f.mostMissed.size(); ++i) {
            const MissedQuestion& q = f.mostMissed[i];
            out += i ? ", " : "";
            out += "{\"question\": " + json::quote(q.text) + ", \"answer\": " + json::quote(q.answer) +
                   ", \"misses\": " + number(q.misses) + ", \"asked\": " + number(q.asked) + '}';
        }
        out += "]}";
    }
    out += stats.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace montera::sets
