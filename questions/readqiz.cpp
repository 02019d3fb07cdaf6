#include "bank.h"
#include "fileutil.h"
#include "readers.h"

#include <optional>

namespace montera {

namespace {

// An answer value as a decimal whole number with optional sign and blanks
// around it, within the signed 16-bit range less its lowest value.
std::optional<int> parseAnswer(QStringView value)
{
    const QStringView trimmed = value.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size())
        return std::nullopt;
    int number = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t ch = trimmed[i].unicode();
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        number = number * 10 + (ch - u'0');
        if (number > 32767)
            return std::nullopt;
    }
    return negative ? -number : number;
}

} // namespace

int ReadQIZ(QuestionBank& bank, const QStringList& lines, Findings* /*findings*/)
{
    int q = -1;
    for (qsizetype i = 0;; ++i) {
        const QString line = ItemOf(i, lines);
        const QChar tag = line.isEmpty() ? QChar() : line.front();
        if (tag == u'[') {
            continue;
        } else if (tag == u'S') {
            bank.SetTitle = GetDoc(line);
        } else if (tag == u'C') {
            bank.SetCreator = GetDoc(line);
        } else if (tag == u'V') {
            bank.SetVersion = GetDoc(line);
        } else if (tag == u'Q') {
            // The bank holds no more: the set ends at the question that would
            // not fit.
            if (q + 1 >= kBankCapacity)
                break;
            ++q;
            bank.QuestionText[q] = GetDoc(line);
            bank.QuestionTitle[q] = bank.SetTitle;
        } else if (tag == u'A') {
            const QString value = GetDoc(line);
            // An "A" line before the first question, or with a second character
            // that names no choice, has nothing to set.
            if (q < 0 || line.size() < 2)
                continue;
            const char16_t second = line[1].unicode();
            if (second == u' ') {
                const std::optional<int> answer = parseAnswer(value);
                bank.AnswerIndex[q] = answer ? static_cast<std::int16_t>(*answer - 1) : std::int16_t(-1);
            } else if (second >= u'1' && second <= u'5') {
                bank.Choices[q][second - u'1'] = value;
            }
        } else {
            break;
        }
    }
    bank.LastQuestion = q;
    return q + 1;
}

} // namespace montera
