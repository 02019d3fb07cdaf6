#include "textfit.h"

namespace montera::sets {

namespace {

// 15.75 pt is 315 twips; a half-width character 157.5 of them.
constexpr int kQuestionLineUnits = 8895 * 2 / 315;

bool isWide(char32_t ch)
{
    return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0x303E) ||
           (ch >= 0x3041 && ch <= 0x33FF) || (ch >= 0x3400 && ch <= 0x4DBF) ||
           (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xA000 && ch <= 0xA4CF) ||
           (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) ||
           (ch >= 0xFE30 && ch <= 0xFE4F) || (ch >= 0xFF00 && ch <= 0xFF60) ||
           (ch >= 0xFFE0 && ch <= 0xFFE6) || (ch >= 0x1F300 && ch <= 0x1FAFF) ||
           (ch >= 0x20000 && ch <= 0x3FFFD);
}

template<typename OnChar>
void forEachCodePoint(QStringView text, OnChar onChar)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        onChar(ch);
    }
}

} // namespace

int halfWidthUnits(QStringView text)
{
    int units = 0;
    forEachCodePoint(text, [&units](char32_t ch) {
        if (ch != u'\n')
            units += isWide(ch) ? 2 : 1;
    });
    return units;
}

int questionLines(QStringView text)
{
    // A character that does not fit on the line starts the next; words are
    // not kept whole, which errs on the side of fewer lines for Latin text.
    int lines = 1;
    int used = 0;
    forEachCodePoint(text, [&](char32_t ch) {
        if (ch == u'\n') {
            ++lines;
            used = 0;
            return;
        }
        const int width = isWide(ch) ? 2 : 1;
        if (used + width > kQuestionLineUnits) {
            ++lines;
            used = 0;
        }
        used += width;
    });
    return lines;
}

QString choiceFitProblem(QStringView choice)
{
    if (choice.contains(u'\n'))
        return QStringLiteral("a choice has a line break, and a choice is one line");
    const int units = halfWidthUnits(choice);
    if (units > kChoiceUnits)
        return QStringLiteral("a choice is %1 half-width characters wide, and a choice line holds %2")
            .arg(units)
            .arg(kChoiceUnits);
    return {};
}

QString questionFitProblem(QStringView question)
{
    const int lines = questionLines(question);
    if (lines > kQuestionLinesShown)
        return QStringLiteral("the question takes %1 lines, and the question box shows %2")
            .arg(lines)
            .arg(kQuestionLinesShown);
    return {};
}

} // namespace montera::sets
