#pragma once

#include <QString>

#include <vector>

// The text of flashcard fields, which Anki and its exports keep as HTML, as
// the show draws it: plain text with LF line breaks.
namespace montera::sets {

enum class FieldMarkup { Html, PlainText };

// HTML through libxml2's HTML parser: <br>, <div>, <p> and <li> break lines,
// entities are decoded, other markup is dropped, runs of blanks become one.
// Then `[sound:...]` is dropped and furigana `漢字[かんじ]` becomes
// `漢字（かんじ）`. Lines are trimmed and empty lines at either end removed.
QString fieldText(const QString& field, FieldMarkup markup);

// Why a field cannot be shown as text (LaTeX, MathJax, an image occlusion);
// empty when it can.
QString unshowableReason(const QString& field);

// One question of a cloze note: the number, the text with that cloze hidden
// (still as the field's markup) and the hidden text.
struct Cloze {
    int number = 0;
    QString question;
    QString answer;
};

// The clozes `{{cN::text}}` and `{{cN::text::hint}}` of a field, one per
// number in rising order. The asked cloze becomes `（　　）`, or `（hint）`;
// the others show their text. Several clozes of one number are asked
// together, their answers joined by `、`.
std::vector<Cloze> clozesOf(const QString& field);

} // namespace montera::sets
