#pragma once

#include "cards.h"
#include "qizwriter.h"

#include <cstdint>
#include <vector>

// Question sets from a deck of flashcards: the cards the show cannot draw
// are skipped with a warning, and each card left becomes a five-choice
// question.
namespace montera::sets {

// Why a card cannot be a question: its reader's reason, an empty side, an
// answer that is no one-line choice, a question taller than its box; empty
// when it can be one.
QString skipReasonOf(const Card& card);

// The deck's sets, titled with its name: none when it has no card, none and
// a warning when its usable cards have fewer than five distinct answers,
// more than one when it has more than a set holds (kBankCapacity each, in
// note order, their wrong choices drawn from the whole deck).
std::vector<WrittenSet> setsOfDeck(const Deck& deck, std::uint64_t seed, CardProblems& problems);

// A file name for a deck: `::` becomes `-`, and what a file name cannot hold
// becomes `_`.
QString fileStemOf(const QString& deckName);

} // namespace montera::sets
