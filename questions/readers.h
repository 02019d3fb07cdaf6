#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

#include "findings.h"

namespace montera {

struct QuestionBank;

// One reader per question-set format. Each writes questions 0, 1, … of the
// bank in file order, sets LastQuestion, and returns the number of questions
// read; 0 means the content is invalid. The bank has been cleared before.
// Given a report, a reader adds to it every decision it takes that a set's
// author may not expect (lines it ignores, where and why the set ends, values
// it cannot read) and where each question starts.

// QIZ: tagged lines, given as ReadTextLines gives them.
int ReadQIZ(QuestionBank& bank, std::span<const QStringView> lines, LoadReport* report = nullptr);
int ReadQIZ(QuestionBank& bank, const QStringList& lines, LoadReport* report = nullptr);

// 5TX: positional lines, given as the whole text ReadTextFile gives.
int Read5TX(QuestionBank& bank, const QString& text, LoadReport* report = nullptr);

// 5TQ: fixed-size byte records, given as the buffer ReadBinaryFile gives or
// as its start; the bytes after a shorter content read as zeros.
int Read5TQ(QuestionBank& bank, const QByteArray& bytes, LoadReport* report = nullptr);

} // namespace montera
