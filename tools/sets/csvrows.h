#pragma once

#include "codec932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// The rows of a delimited table through libcsv, with the table line where
// each starts: what the seven-column import and the pair list share.
namespace montera::sets {

struct CsvRow {
    int line = 0;
    std::vector<QByteArray> cells;
};

struct CsvRows {
    std::vector<CsvRow> rows;
    // False when a quote breaks the rules; the rows before it are kept.
    bool complete = true;
    int brokenLine = 0; // where the broken row starts
};

// Cells keep every blank. `firstLine` is the line number of the body's start.
CsvRows readCsvRows(QByteArrayView body, unsigned char delimiter, int firstLine = 1);

// A cell's text; a line break inside it, whatever its form, becomes the lone
// LF that the show draws as a line break: a CR would end the QIZ line.
QString cellText(const QByteArray& cell, TextEncoding encoding);

inline const QString kBrokenQuote =
    QStringLiteral("a quote that breaks the rules: a quoted cell must be quoted whole, "
                   "with every quote inside it doubled, and be closed");

} // namespace montera::sets
