#include "importtable.h"

#include "csvrows.h"
#include "fileutil.h"
#include "findings.h"

#include <csv.h>

#include <algorithm>
#include <optional>

namespace montera::sets {

namespace {

constexpr int kAnswerColumn = 6;
constexpr int kTitleColumn = 7;
constexpr int kNeededCells = 7;

// "1" to "5" in ASCII or full-width digits, with white space around.
std::optional<int> answerOf(const QString& cell)
{
    const QString value = cell.trimmed();
    if (value.size() != 1)
        return std::nullopt;
    const char16_t ch = value[0].unicode();
    if (ch >= u'1' && ch <= u'5')
        return ch - u'0';
    if (ch >= u'\uFF11' && ch <= u'\uFF15')
        return ch - u'\uFF10';
    return std::nullopt;
}

bool isEmptyRow(const std::vector<QByteArray>& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QByteArray& cell) { return cell.isEmpty(); });
}

} // namespace

WrittenSet readTable(const QByteArray& bytes, TableFormat format, const QString& setTitle,
                     std::vector<TableProblem>& problems)
{
    WrittenSet set;
    set.title = setTitle;
    const TextLayout layout = textLayoutOf(bytes);

    const CsvRows table = readCsvRows(layout.body, format == TableFormat::Tsv ? CSV_TAB : CSV_COMMA);
    bool first = true;
    for (const CsvRow& row : table.rows) {
        if (isEmptyRow(row.cells))
            continue;
        const auto cell = [&row, &layout](int column) {
            return column < int(row.cells.size()) ? cellText(row.cells[size_t(column)], layout.encoding)
                                                  : QString();
        };
        const std::optional<int> answer = answerOf(cell(kAnswerColumn));
        const bool header = first && (row.cells.size() < size_t(kNeededCells) || !answer);
        first = false;
        if (header)
            continue;
        const int line = row.line;
        if (row.cells.size() < size_t(kNeededCells)) {
            problems.push_back(
                {line, QStringLiteral("%1 cells; a question takes 7: the question, five choices "
                                      "and the answer")
                           .arg(row.cells.size())});
            continue;
        }
        if (!answer)
            problems.push_back(
                {line,
                 QStringLiteral("the answer %1 is not 1 to 5").arg(quotedForMessage(cell(kAnswerColumn)))});
        if (cell(0).trimmed().isEmpty())
            problems.push_back({line, QStringLiteral("the question is empty")});
        if (int(set.questions.size()) == kBankCapacity) {
            problems.push_back({line, QStringLiteral("more than 2048 questions")});
            break;
        }
        WrittenQuestion question;
        question.text = cell(0);
        for (int c = 0; c < kChoiceCount; ++c)
            question.choices[size_t(c)] = cell(c + 1);
        question.answer = answer.value_or(1);
        question.title = cell(kTitleColumn);
        if (question.title.isEmpty())
            question.title = setTitle;
        question.origin = QString::number(line);
        set.questions.push_back(std::move(question));
    }
    // The rows before a broken quote are still looked at; nothing after it
    // can be told apart.
    if (!table.complete)
        problems.push_back({table.brokenLine, kBrokenQuote});
    if (set.questions.empty() && problems.empty())
        problems.push_back({0, QStringLiteral("the table has no question")});
    return set;
}

} // namespace montera::sets
