#pragma once

#include "cards.h"

#include <QString>

#include <vector>

// An Anki package (.apkg, a shared deck; .colpkg, a whole collection) read
// as flashcards. The package is a zip file; the collection inside it is
// `collection.anki21b` (zstd-compressed SQLite, schema 18),
// `collection.anki21` or `collection.anki2` (SQLite, schema 11), preferred
// in that order. The SQLite file is copied into a temporary folder, which
// is removed whatever happens, and opened read-only.
namespace montera::sets {

// Every deck of the package by its full name ("親::子"), in name order, with
// its own cards (not its subdecks'), counted in their home deck. Suspended
// cards are left out. A standard note gives one card, asked in the deck of
// its first card; a cloze note one card per cloze number. A problem of the
// whole file has an empty `where`; that of a note names its id.
std::vector<Deck> readAnkiPackage(const QString& fileName, const FieldChoice& fields, CardProblems& problems);

// The most bytes an entry of the package may expand to, compressed
// collection included.
inline constexpr qint64 kMaxEntryBytes = qint64(1) << 30;

} // namespace montera::sets
