#include "bank.h"
#include "fileutil.h"
#include "readers.h"

#include <bit>
#include <optional>
#include <vector>

namespace montera {

namespace {

// The line at the index, or the empty line outside the list.
QStringView lineAt(std::span<const QStringView> lines, qsizetype index)
{
    return index >= 0 && index < qsizetype(lines.size()) ? lines[size_t(index)] : QStringView();
}

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

// What the reader tells a report about the lines of the current question.
// Without a report it does nothing.
class QizNotes {
public:
    QizNotes(LoadReport* report, std::span<const QStringView> lines)
        : m_report(report)
        , m_lines(lines)
        , m_fileLines(qsizetype(lines.size()) - 1) // the last element is the appended empty one
    {}

    explicit operator bool() const { return m_report != nullptr; }

    void question(qsizetype i)
    {
        finishQuestion();
        ++m_question;
        m_questionLine = int(i + 1);
        m_hasAnswer = false;
        m_choicesSeen = 0;
        m_highestChoice = 0;
        m_report->questionStarts.push_back(m_questionLine);
    }

    void overCapacity(qsizetype i)
    {
        m_report->warnAt(
            int(i + 1),
            QStringLiteral("more than 2048 questions: this one and the %1 lines after it are not read")
                .arg(m_fileLines - i - 1));
    }

    void answer(qsizetype i, QStringView value, std::optional<int> answer)
    {
        if (m_hasAnswer)
            m_report->warnAt(
                int(i + 1),
                QStringLiteral("second answer line of question %1 replaces the first").arg(m_question));
        m_hasAnswer = true;
        if (!answer)
            m_report->warnAt(
                int(i + 1),
                QStringLiteral(
                    "answer %1 is not a number from -32767 to 32767: no choice of question %2 counts as "
                    "correct")
                    .arg(quotedForMessage(value.trimmed()), QString::number(m_question)));
        else if (*answer < 1 || *answer > kChoiceCount)
            m_report->warnAt(
                int(i + 1),
                QStringLiteral("answer %1 is outside 1 to 5: no choice of question %2 counts as correct")
                    .arg(*answer)
                    .arg(m_question));
    }

    void choice(qsizetype i, int d)
    {
        if (m_choicesSeen & (1 << (d - 1)))
            m_report->warnAt(
                int(i + 1),
                QStringLiteral("choice %1 of question %2 is given again and replaces the earlier one")
                    .arg(d)
                    .arg(m_question));
        else if (d < m_highestChoice)
            m_report->warnAt(int(i + 1), QStringLiteral("choice %1 of question %2 comes after choice %3")
                                             .arg(d)
                                             .arg(m_question)
                                             .arg(m_highestChoice));
        m_choicesSeen |= 1 << (d - 1);
        m_highestChoice = std::max(m_highestChoice, d);
    }

    void ignoredAnswerLine(qsizetype i, bool beforeFirstQuestion)
    {
        m_report->warnAt(
            int(i + 1),
            beforeFirstQuestion
                ? QStringLiteral("\"A\" line before the first question is ignored")
                : QStringLiteral("\"A\" line names no choice (\"A1\" to \"A5\" or \"A \") and is ignored"));
    }

    // Line i ends the set.
    void end(qsizetype i)
    {
        finishQuestion();
        const QStringView line = lineAt(m_lines, i);
        const bool atEnd = i == m_fileLines;
        qsizetype after = 0;
        for (qsizetype j = i + 1; j < m_fileLines; ++j)
            after += lineAt(m_lines, j).isEmpty() ? 0 : 1;
        if (!atEnd && (after > 0 || !line.isEmpty())) {
            QString why;
            if (line.isEmpty())
                why = QStringLiteral("an empty line ends the set");
            else if (line.front().isLower())
                why = QStringLiteral("the lower-case tag %1 ends the set (tags are upper case)")
                          .arg(quotedForMessage(line.left(1)));
            else
                why = QStringLiteral("%1 is no tag and ends the set").arg(quotedForMessage(line.left(2)));
            const qsizetype notRead = m_fileLines - i - 1;
            m_report->warnAt(
                int(i + 1),
                why + QStringLiteral("; ") + linesNotRead(notRead) +
                    (after < notRead ? QStringLiteral(" (%1 of them not empty)").arg(after) : QString()));
        }
        if (m_question == 0)
            m_report->errorAt(int(i + 1),
                              QStringLiteral("no question (\"Q\" line) before the end of the set"));
    }

private:
    void finishQuestion()
    {
        if (m_questionLine > 0 && !m_hasAnswer)
            m_report->warnAt(
                m_questionLine,
                QStringLiteral("question %1 has no answer line (\"A =\"): its first choice counts as correct")
                    .arg(m_question));
    }

    LoadReport* m_report = nullptr;
    std::span<const QStringView> m_lines;
    qsizetype m_fileLines = 0;
    int m_question = 0;     // 1-based number of the current question, 0 before the first
    int m_questionLine = 0; // its line
    bool m_hasAnswer = false;
    int m_choicesSeen = 0; // bit d-1 for choice d
    int m_highestChoice = 0;
};

} // namespace

int ReadQIZ(QuestionBank& bank, std::span<const QStringView> lines, LoadReport* report)
{
    QizNotes notes(report, lines);
    int q = -1;
    for (qsizetype i = 0;; ++i) {
        const QStringView line = lineAt(lines, i);
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
            if (q + 1 >= kBankCapacity) {
                if (notes)
                    notes.overCapacity(i);
                break;
            }
            ++q;
            bank.markFilled(q);
            bank.QuestionText[q] = GetDoc(line);
            bank.QuestionTitle[q] = bank.SetTitle;
            if (notes)
                notes.question(i);
        } else if (tag == u'A') {
            const QStringView value = docOf(line);
            // An "A" line before the first question, or with a second character
            // that names no choice, has nothing to set.
            const char16_t second = line.size() < 2 ? u'\0' : line[1].unicode();
            if (q < 0) {
                if (notes)
                    notes.ignoredAnswerLine(i, true);
            } else if (second == u' ') {
                const std::optional<int> answer = parseAnswer(value);
                bank.AnswerIndex[q] = answer ? static_cast<std::int16_t>(*answer - 1) : std::int16_t(-1);
                if (notes)
                    notes.answer(i, value, answer);
            } else if (second >= u'1' && second <= u'5') {
                bank.Choices[q][second - u'1'] = value.toString();
                if (notes)
                    notes.choice(i, second - u'0');
            } else if (notes) {
                notes.ignoredAnswerLine(i, false);
            }
        } else {
            if (notes)
                notes.end(i);
            break;
        }
    }
    bank.LastQuestion = q;
    return q + 1;
}

int ReadQIZ(QuestionBank& bank, const QStringList& lines, LoadReport* report)
{
    const std::vector<QStringView> views(lines.begin(), lines.end());
    return ReadQIZ(bank, views, report);
}

} // namespace montera
