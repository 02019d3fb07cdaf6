#pragma once

#include "cards.h"
#include "qizwriter.h"

#include <QString>

#include <cstdint>
#include <vector>

// The wrong choices of questions made from flashcards: the answers of the
// deck's other cards, of the same kind as the right one so that the learner
// must know the answer rather than spot the odd one out.
namespace montera::sets {

// The default seed: the same deck always gives the same set.
inline constexpr std::uint64_t kDefaultSeed = 0x4D6F6E746572611AULL;

// An answer's key for telling answers apart: NFKC, trimmed, case-folded.
QString answerKey(const QString& answer);

// What makes two answers look alike, in the order they are given up when too
// few answers share them: length last kept, script first.
struct AnswerKind {
    enum class Script { Kanji, Kana, KanjiKana, Latin, Digits, Other } script = Script::Other;
    enum class Shape { Year, Number, NumberWithUnit, Word, Phrase } shape = Shape::Word;
    int lengthBand = 0;
};
AnswerKind kindOf(const QString& answer);

// One question per card, in the cards' order; the title is left empty. A
// card whose deck has too few other answers for four wrong choices gets no
// question and a warning. A card's choices and their order depend only on
// the seed, its question and answer, and the answers it may draw from.
std::vector<WrittenQuestion> questionsOf(const std::vector<Card>& cards, std::uint64_t seed,
                                         CardProblems& problems);

// Four wrong choices drawn at random from the deck's other answers, for the
// benchmark's yardstick: still never right and never repeated.
std::vector<WrittenQuestion> questionsWithRandomChoices(const std::vector<Card>& cards, std::uint64_t seed);

} // namespace montera::sets
