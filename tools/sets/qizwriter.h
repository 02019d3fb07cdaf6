#pragma once

#include "bank.h"
#include "codec932.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// Writing a question set as QIZ, the one format that holds everything the
// bank holds: what `montera-sets import` and `convert` write.
namespace montera::sets {

struct WrittenQuestion {
    QString title;
    QString text;
    std::array<QString, kChoiceCount> choices;
    int answer = 1; // 1-based; the reader takes -32767 to 32767 back exactly
    QString origin; // where the question came from, for messages: "ROW" or "question N"
};

struct WrittenSet {
    QString title;
    QString creator;
    QString version;
    std::vector<WrittenQuestion> questions;
};

// The set as loaded, without any CR: QIZ cannot hold one, and the show never
// draws it.
WrittenSet setFromBank(const QuestionBank& bank);

struct Unencodable {
    QString origin; // the question's origin; empty for a set string
    QString message;
};

// One entry per question or set string that holds a character the encoding
// cannot write, naming the character; empty when there is none.
std::vector<Unencodable> unencodableCharacters(const WrittenSet& set, TextEncoding encoding);

// The QIZ file: the S, C and V lines, then per question an S line where the
// title changes, its Q line, A1 to A5 and the "A =" line, and a last S line
// that restores the set title. Every line ends with CR LF; UTF-8 starts with
// the byte-order mark. Characters must have been checked before.
QByteArray qizBytes(const WrittenSet& set, TextEncoding encoding);

// Replaces the file atomically; the error text when that fails.
bool writeFileAtomically(const QString& fileName, const QByteArray& bytes, QString& error);

} // namespace montera::sets
