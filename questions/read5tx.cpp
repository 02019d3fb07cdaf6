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
        const QString line = m_text.sliced(m_position, lineFeed - m_position);
        m_position = lineFeed + 1;
        return line;
    }

private:
    const QString& m_text;
    qsizetype m_position = 0;
    bool m_exhausted = false;
};

} // namespace

int Read5TX(QuestionBank& bank, const QString& text, Findings* /*findings*/)
{
    LineScanner lines(text);
    // Lines 0 to 2 are free text and line 4 the question count, which nothing
    // needs: the records themselves tell where the set ends.
    for (int header = 0; header < kHeaderLines; ++header) {
        QString line = lines.next();
        if (header == 3)
            bank.QuestionTitle[0] = std::move(line);
    }

    int n = 0;
    for (int k = 0; n < kBankCapacity; k = (k + 1) % kRecordLines) {
        QString line = lines.next();
        if (line.isEmpty())
            break;
        if (k == 0) {
            bank.QuestionText[n] = std::move(line);
            bank.AnswerIndex[n] = 0;
        } else {
            bank.Choices[n][k - 1] = std::move(line);
            if (k == kRecordLines - 1)
                ++n;
        }
    }
    bank.LastQuestion = n - 1;
    return n;
}

} // namespace montera
