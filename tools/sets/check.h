#pragma once

#include "bank.h"
#include "findings.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The checks of `montera-sets check`: what the program would make of a
// question-set file, and every problem that it accepts silently or that makes
// it reject the set.
namespace montera::check {

struct Report {
    QString file;
    QString format; // "QIZ", "5TX", "5TQ", or empty when the name has none of them
    LoadOutcome outcome = LoadOutcome::Ok;
    TextEncoding encoding = TextEncoding::Cp932;
    int questions = 0; // as loaded; 0 when the set does not load
    QString title;
    QString creator;
    QString version;
    std::vector<Finding> findings;
};

// Loads the file as the program does (once) and examines its bytes.
Report checkFile(const QString& fileName);

// One finding per line, "FILE:LINE: severity: message", after a summary line.
QByteArray formatText(const Report& report);

// All reports as one JSON array.
QByteArray formatJson(const std::vector<Report>& reports);

} // namespace montera::check
