#pragma once

#include "cards.h"
#include "importtable.h"

#include <QByteArray>

// `montera-sets import --pairs`: flashcards from a two-column list, as
// spreadsheets and vocabulary sites save them and as Anki's plain-text export
// writes them (`#name:value` header lines first).
namespace montera::sets {

enum class HeadingRow { Absent, Present };

// The cards of the list, one per row. The separator comes from a
// `#separator:` header, else from the format; `#html:false` reads the cells
// as plain text; `#columns:` and a heading row name the columns; the tags,
// guid, deck and notetype columns that a `#... column:N` header marks are
// dropped. Problems are added to `problems`, their `where` being the row.
Deck readPairTable(const QByteArray& bytes, TableFormat format, HeadingRow heading, const FieldChoice& fields,
                   CardProblems& problems);

} // namespace montera::sets
