#include "bank.h"
#include "readers.h"

namespace montera {

namespace {

// The first line of a record. The five header lines come before it.
constexpr int kHeaderLines = 5;
constexpr int kRecordLines = 6;

// Hands out the lines of a text exactly as GetLine(0), GetLine(1), … would,
// but in one forward pass: GetLine counts from the start on every call, which
// makes reading a whole set quadratic in its length. A line is what lies
// between two line feeds; once no line feed is left, every further line is
// the empty string.
class LineScanner {
public:
    explicit LineScanner(const QString& text)
        : m_text(text)
    {}

    QString next()
    {
        if (m_exhausted)
            return QString();
        const qsizetype lineFeed = m_text.indexOf(u'\n', m_position);
        if (lineFeed < 0) {
            m_exhausted = true;
            return QString();
        }
        // Every file line ends with CR LF in the text; a line feed of its own
        // inside a file line splits it without a CR.
        m_fileLine = m_nextFileLine;
        if (lineFeed > 0 && m_text[lineFeed - 1] == u'\r')
            ++m_nextFileLine;
        const qsizetype start = m_position;
        m_position = lineFeed + 1;
        ++m_count;
        return m_text.sliced(start, lineFeed - start);
    }

    bool exhausted() const { return m_exhausted; }
    // How many lines were handed out before the end.
    int count() const { return m_count; }
    // The 1-based file line of the line last handed out.
    int fileLine() const { return m_fileLine; }

private:
    const QString& m_text;
    qsizetype m_position = 0;
    bool m_exhausted = false;
    int m_fileLine = 0;
    int m_nextFileLine = 1;
    int m_count = 0;
};

// The line's text without the CR that ends a file line.
QStringView withoutCr(const QString& line)
{
    return line.endsWith(u'\r') ? QStringView(line).chopped(1) : QStringView(line);
}

} // namespace

int Read5TX(QuestionBank& bank, const QString& text, LoadReport* report)
{
    LineScanner lines(text);
    // Lines 0 to 2 are free text and line 4 the question count, which nothing
    // needs: the records themselves tell where the set ends.
    int countLine = 0;
    QString count;
    for (int header = 0; header < kHeaderLines; ++header) {
        QString line = lines.next();
        if (header == 3) {
            bank.markFilled(0);
            bank.QuestionTitle[0] = std::move(line);
        } else if (header == 4) {
            count = std::move(line);
            countLine = lines.fileLine();
        }
    }
    const bool headerComplete = !lines.exhausted();

    const QString roles[kRecordLines] = {QStringLiteral("the text"), QStringLiteral("choice 1"),
                                         QStringLiteral("choice 2"), QStringLiteral("choice 3"),
                                         QStringLiteral("choice 4"), QStringLiteral("choice 5")};
    const qsizetype fileLines = report ? text.count(u'\r') : 0;
    // The count line is judged once the records are read, but its finding
    // belongs before theirs.
    const size_t countFindingAt = report ? report->findings.size() : 0;
    int n = 0;
    int k = 0;
    int recordLine = 0; // the file line where the current record starts
    for (; n < kBankCapacity; k = (k + 1) % kRecordLines) {
        QString line = lines.next();
        if (line.isEmpty()) {
            if (report && !lines.exhausted())
                report->warnAt(
                    lines.fileLine(),
                    QStringLiteral("two line feeds in a row (a line feed inside a line) end the set; %1")
                        .arg(linesNotRead(fileLines - lines.fileLine())));
            break;
        }
        if (report) {
            if (k == 0)
                recordLine = lines.fileLine();
            if (withoutCr(line).isEmpty())
                report->warnAt(
                    lines.fileLine(),
                    QStringLiteral("empty line taken as %1 of question %2").arg(roles[k]).arg(n + 1));
        }
        if (k == 0) {
            bank.markFilled(n);
            bank.QuestionText[n] = std::move(line);
            bank.AnswerIndex[n] = 0;
        } else {
            bank.Choices[n][k - 1] = std::move(line);
            if (k == kRecordLines - 1) {
                ++n;
                if (report)
                    report->questionStarts.push_back(recordLine);
            }
        }
    }
    bank.LastQuestion = n - 1;

    if (report && !headerComplete) {
        report->errorAt(
            0, QStringLiteral("%1 line%2: a 5TX set has 5 header lines and then 6 lines per question")
                   .arg(lines.count())
                   .arg(lines.count() == 1 ? "" : "s"));
        return n;
    }
    if (report) {
        bool isNumber = false;
        const QString number = count.trimmed();
        const int stated = number.toInt(&isNumber);
        const auto countFinding = [&](const QString& message) {
            report->findings.insert(report->findings.begin() + qsizetype(countFindingAt),
                                    {Severity::Warning, countLine, -1, message});
        };
        if (!isNumber)
            countFinding(
                QStringLiteral("the fifth line %1 is no number of questions").arg(quotedForMessage(number)));
        else if (n > 0 && stated != n)
            countFinding(
                QStringLiteral("the fifth line says %1 questions, the set has %2").arg(stated).arg(n));
        if (n == kBankCapacity) {
            lines.next();
            if (!lines.exhausted())
                report->warnAt(
                    lines.fileLine(),
                    QStringLiteral("more than 2048 questions: this line and the %1 after it are not read")
                        .arg(fileLines - lines.fileLine()));
        }
        if (n < kBankCapacity && k > 0)
            report->warnAt(recordLine,
                           QStringLiteral("the last question is incomplete (%1 of its 6 lines) and is "
                                          "not loaded")
                               .arg(k));
        if (n == 0)
            report->errorAt(
                0, QStringLiteral("no complete question: each takes 6 lines after the 5 header lines"));
    }
    return n;
}

} // namespace montera
