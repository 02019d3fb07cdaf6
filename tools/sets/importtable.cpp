#include "importtable.h"

#include "fileutil.h"
#include "findings.h"

#include <csv.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace montera::sets {

namespace {

constexpr int kAnswerColumn = 6;
constexpr int kTitleColumn = 7;
constexpr int kNeededCells = 7;

// Collects the records that libcsv reports, with the table line where each
// starts. With CSV_REPALL_NL every line end outside a cell is reported as a
// record end of its own, so empty lines count too; a CR LF pair is one line
// end.
struct Collector {
    struct Row {
        int line = 0;
        std::vector<QByteArray> cells;
    };
    std::vector<Row> rows;
    Row current;
    int line = 1;         // the line the parser has reached
    bool afterCr = false; // the last line end was a CR, so an LF now ends nothing
    bool rowStarted = false;

    static void onCell(void* data, size_t size, void* context)
    {
        auto& self = *static_cast<Collector*>(context);
        const QByteArray cell(static_cast<const char*>(data), qsizetype(size));
        if (!self.rowStarted) {
            self.rowStarted = true;
            self.current.line = self.line;
        }
        // A quoted cell may hold line ends of its own.
        self.afterCr = false;
        for (qsizetype i = 0; i < cell.size(); ++i) {
            if (cell[i] == '\r' || (cell[i] == '\n' && (i == 0 || cell[i - 1] != '\r')))
                ++self.line;
        }
        self.current.cells.push_back(cell);
    }

    static void onRowEnd(int terminator, void* context)
    {
        auto& self = *static_cast<Collector*>(context);
        if (self.rowStarted)
            self.rows.push_back(std::move(self.current));
        self.current = Row();
        self.rowStarted = false;
        if (terminator == '\r' || (terminator == '\n' && !self.afterCr))
            ++self.line;
        self.afterCr = terminator == '\r';
    }
};

// A line break inside a cell, whatever its form, becomes the lone LF that the
// show draws as a line break: a CR would end the QIZ line.
QString cellText(const QByteArray& cell, TextEncoding encoding)
{
    QString text = decodeText(cell, encoding);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

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

    csv_parser parser;
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
    // Keep every cell as it stands: no blank is trimmed.
    csv_set_space_func(&parser, [](unsigned char) { return 0; });
    if (format == TableFormat::Tsv)
        csv_set_delim(&parser, CSV_TAB);
    Collector collector;
    const size_t parsed = csv_parse(&parser, layout.body.data(), size_t(layout.body.size()),
                                    Collector::onCell, Collector::onRowEnd, &collector);
    const bool complete = parsed == size_t(layout.body.size()) &&
                          csv_fini(&parser, Collector::onCell, Collector::onRowEnd, &collector) == 0;
    csv_free(&parser);
    bool first = true;
    for (const Collector::Row& row : collector.rows) {
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
    if (!complete)
        problems.push_back(
            {collector.rowStarted ? collector.current.line : collector.line,
             QStringLiteral("a quote that breaks the rules: a quoted cell must be quoted whole, "
                            "with every quote inside it doubled, and be closed")});
    if (set.questions.empty() && problems.empty())
        problems.push_back({0, QStringLiteral("the table has no question")});
    return set;
}

} // namespace montera::sets
