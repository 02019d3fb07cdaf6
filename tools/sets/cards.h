#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Flashcards as this tool keeps them, whatever they were read from: an Anki
// package or a two-column list is turned into these by its reader, and the
// set maker turns them into five-choice questions.
namespace montera::sets {

struct Card {
    QString question; // plain text, line breaks as LF
    QString answer;
    QString origin;     // the note id or table row, for messages
    QString skipReason; // why the card cannot be a question; empty when it can
};

struct Deck {
    QString name;            // an Anki deck's full name ("親::子"), or the set's title
    std::vector<Card> cards; // in note order
};

// A problem found while reading, reported as SOURCE:WHERE: severity: message.
enum class ProblemKind { Warning, Error };
struct CardProblem {
    ProblemKind kind = ProblemKind::Error;
    QString where; // a note id, a table row, or empty for the whole file
    QString message;
};
using CardProblems = std::vector<CardProblem>;

// Which field is asked: by name, or by 1-based number when the text is a
// number; empty means the first field asks and the second answers.
struct FieldChoice {
    QString question;
    QString answer;
    enum class Side { AsNamed, Reversed } side = Side::AsNamed;
};

} // namespace montera::sets

namespace montera::sets {

// The 0-based field that `wanted` names among `names` (a name, or a number
// from 1), or `fallback` when `wanted` is empty; -1 when none matches.
int fieldIndex(const QString& wanted, const QStringList& names, int fallback);

} // namespace montera::sets
