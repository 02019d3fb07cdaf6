#pragma once

#include "historystore.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace montera::sets {

// One set's figures as the stats command prints them.
struct SetStats {
    QString set;   // the file name, as the history knows the set
    QString title; // empty when the set did not load
    SetFigures figures;
};

// The figures of the set file from the history: the set's title is read from
// the file; a set that does not load counts under every title its name had.
SetStats statsOf(HistoryStore& history, const QString& setPath, std::int64_t now, int utcOffset);

// The text and JSON forms; today names the last of the 30 days.
QByteArray formatStatsText(const std::vector<SetStats>& stats, QDate today);
QByteArray formatStatsJson(const std::vector<SetStats>& stats, QDate today);

} // namespace montera::sets
