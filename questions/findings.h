#pragma once

#include "codec932.h"

#include <QString>

#include <vector>

// What a load can tell besides the bank, for the set tool: the encoding of a
// text set and the decisions the readers took on the way. The program itself
// passes no report, and the readers then spend nothing on it.
namespace montera {

enum class Severity {
    Warning, // the program accepts it, perhaps not as the author meant
    Error,   // a reason why the program shows an error entry instead of the set
};

struct Finding {
    Severity severity = Severity::Warning;
    int line = 0;       // 1-based line of a text set; 0 when not tied to a line
    qint64 offset = -1; // byte offset in a 5TQ set; -1 when none
    QString message;
};

using Findings = std::vector<Finding>;

struct LoadReport {
    TextEncoding encoding = TextEncoding::Cp932;
    Findings findings;
    // Where each question read starts: its 1-based line in a text set, the
    // byte offset of its block in a 5TQ set.
    std::vector<qint64> questionStarts;

    void warnAt(int line, const QString& message)
    {
        findings.push_back({Severity::Warning, line, -1, message});
    }
    void errorAt(int line, const QString& message)
    {
        findings.push_back({Severity::Error, line, -1, message});
    }
};

// A text for a message: in double quotes, control characters escaped.
QString quotedForMessage(QStringView text);

// "1 line after it is not read", or the count of lines.
QString linesNotRead(qsizetype count);

} // namespace montera
