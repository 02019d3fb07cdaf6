#pragma once

#include "qizwriter.h"

#include <QByteArray>
#include <QString>

#include <vector>

// `montera-sets import`: a question set from a table that a spreadsheet
// exports, one question per row: the question, choices 1 to 5, the answer as
// 1 to 5, and an optional title of the question.
namespace montera::sets {

enum class TableFormat {
    Csv, // comma-separated
    Tsv, // tab-separated
};

struct TableProblem {
    int row = 0; // the table's line where the row starts; 0 for the whole table
    QString message;
};

// The questions of the table's bytes, in the encoding the set rule detects.
// Every problem is listed; the set is complete only when there is none.
WrittenSet readTable(const QByteArray& bytes, TableFormat format, const QString& setTitle,
                     std::vector<TableProblem>& problems);

} // namespace montera::sets
