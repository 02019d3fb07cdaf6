#pragma once

#include "bank.h"
#include "codec932.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testutil {

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

// The lines as a code-page-932 file with CR LF after each.
inline QByteArray crlfText(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += montera::cp932::encode(line) + "\r\n";
    return bytes;
}

// Questions 0 to count - 1 of the bank, one line each:
// "title|text|c1,c2,c3,c4,c5|answer".
inline QStringList bankSummary(const montera::QuestionBank& bank, int count)
{
    QStringList out;
    for (int q = 0; q < count; ++q) {
        QStringList choices;
        for (const QString& choice : bank.Choices[q])
            choices << choice;
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(bank.QuestionTitle[q], bank.QuestionText[q], choices.join(u','))
                   .arg(bank.AnswerIndex[q]);
    }
    return out;
}

} // namespace testutil
