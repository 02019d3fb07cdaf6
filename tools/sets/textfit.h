#pragma once

#include <QString>
#include <QStringView>

// Whether a text fits the show's window, judged without a font: the window
// design gives each choice one unwrapped line 8,055 twips wide at 12 pt bold,
// and the question a box of 8,895 x 2,415 twips at 15.75 pt bold. A full-width
// character is taken as wide as the point size, any other as half of it.
// `montera-sets check` and the flashcard import judge by this one rule.
namespace montera::sets {

// The width of a text in half-width units: 2 for a wide (East Asian) character,
// 1 for any other; a line break counts nothing.
int halfWidthUnits(QStringView text);

// The most half-width units a choice line holds: 8,055 twips at 120 twips each.
inline constexpr int kChoiceUnits = 67;

// The lines of a question the box shows, wrapped at its width.
int questionLines(QStringView text);
inline constexpr int kQuestionLinesShown = 6;

// The warnings both commands give, or an empty string when the text fits.
QString choiceFitProblem(QStringView choice);
QString questionFitProblem(QStringView question);

} // namespace montera::sets
