#include "pairtable.h"

#include "csvrows.h"
#include "fieldtext.h"
#include "fileutil.h"

#include <csv.h>

#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace montera::sets {

namespace {

// The separators Anki's text export names, by name or as the character.
std::optional<unsigned char> separatorOf(const QString& value)
{
    static const std::pair<const char*, char> kNames[] = {{"comma", ','}, {"semicolon", ';'}, {"tab", '\t'},
                                                          {"space", ' '}, {"pipe", '|'},      {"colon", ':'}};
    const QString name = value.trimmed().toLower();
    for (const auto& [spelled, character] : kNames) {
        if (name == QLatin1String(spelled))
            return static_cast<unsigned char>(character);
    }
    if (value.size() == 1 && QStringLiteral(",;\t |:").contains(value[0]))
        return static_cast<unsigned char>(value[0].toLatin1());
    return std::nullopt;
}

struct Headers {
    std::optional<unsigned char> separator;
    FieldMarkup markup = FieldMarkup::Html;
    QStringList columns;
    std::set<int> dropped; // 0-based columns that hold no field
    int lines = 0;         // header lines before the data
    qsizetype length = 0;  // their bytes
};

// The `#name:value` lines at the top, as Anki's text export writes them.
Headers headersOf(QByteArrayView body, TextEncoding encoding, CardProblems& problems)
{
    static const QRegularExpression header(QStringLiteral("^#([A-Za-z][A-Za-z ]*):(.*)$"));
    Headers headers;
    while (headers.length < body.size() && body[headers.length] == '#') {
        qsizetype end = headers.length;
        while (end < body.size() && body[end] != '\n' && body[end] != '\r')
            ++end;
        const QString line = decodeText(body.sliced(headers.length, end - headers.length), encoding);
        const QRegularExpressionMatch match = header.match(line);
        if (!match.hasMatch())
            break;
        const QString name = match.captured(1).trimmed().toLower();
        const QString value = match.captured(2);
        const QString where = QString::number(headers.lines + 1);
        if (name == u"separator") {
            headers.separator = separatorOf(value);
            if (!headers.separator)
                problems.push_back({ProblemKind::Error, where,
                                    QStringLiteral("the separator %1 is none of comma, semicolon, tab, "
                                                   "space, pipe and colon")
                                        .arg(value)});
        } else if (name == u"html") {
            headers.markup =
                value.trimmed().toLower() == u"false" ? FieldMarkup::PlainText : FieldMarkup::Html;
        } else if (name == u"columns") {
            headers.columns = value.split(headers.separator ? QChar(*headers.separator) : QChar(u'\t'));
        } else if (name.endsWith(QStringLiteral(" column"))) {
            bool ok = false;
            const int column = value.trimmed().toInt(&ok);
            if (ok && column >= 1)
                headers.dropped.insert(column - 1);
        }
        if (end + 1 < body.size() && body[end] == '\r' && body[end + 1] == '\n')
            ++end;
        headers.length = std::min(end + 1, body.size());
        ++headers.lines;
    }
    return headers;
}

bool isEmptyRow(const CsvRow& row)
{
    return std::all_of(row.cells.begin(), row.cells.end(),
                       [](const QByteArray& cell) { return cell.isEmpty(); });
}

} // namespace

Deck readPairTable(const QByteArray& bytes, TableFormat format, HeadingRow heading, const FieldChoice& fields,
                   CardProblems& problems)
{
    Deck deck;
    const TextLayout layout = textLayoutOf(bytes);
    const Headers headers = headersOf(layout.body, layout.encoding, problems);
    const unsigned char separator =
        headers.separator.value_or(format == TableFormat::Tsv ? CSV_TAB : CSV_COMMA);
    const CsvRows table = readCsvRows(layout.body.sliced(headers.length), separator, headers.lines + 1);

    auto row = table.rows.begin();
    while (row != table.rows.end() && isEmptyRow(*row))
        ++row;
    QStringList names = headers.columns;
    if (heading == HeadingRow::Present && row != table.rows.end()) {
        names.clear();
        for (const QByteArray& cell : row->cells)
            names << cellText(cell, layout.encoding).trimmed();
        ++row;
    }
    // The fields by default: the first two columns that hold a field.
    std::vector<int> fieldColumns;
    for (int c = 0; int(fieldColumns.size()) < 2 && c < 64; ++c) {
        if (!headers.dropped.contains(c))
            fieldColumns.push_back(c);
    }
    int asked = fieldIndex(fields.question, names, fieldColumns[0]);
    int answered = fieldIndex(fields.answer, names, fieldColumns[1]);
    for (const auto& [wanted, index] :
         {std::pair(fields.question, asked), std::pair(fields.answer, answered)}) {
        if (index < 0)
            problems.push_back({ProblemKind::Error, {}, QStringLiteral("no column is named %1").arg(wanted)});
    }
    if (asked < 0 || answered < 0)
        return deck;
    if (fields.side == FieldChoice::Side::Reversed)
        std::swap(asked, answered);

    for (; row != table.rows.end(); ++row) {
        if (isEmptyRow(*row))
            continue;
        const QString where = QString::number(row->line);
        if (row->cells.size() < 2) {
            problems.push_back({ProblemKind::Error, where,
                                QStringLiteral("one cell; a card takes two: the question and the answer")});
            continue;
        }
        const int needed = std::max(asked, answered) + 1;
        if (int(row->cells.size()) < needed) {
            problems.push_back(
                {ProblemKind::Error, where,
                 QStringLiteral("%1 cells, and column %2 is asked for").arg(row->cells.size()).arg(needed)});
            continue;
        }
        const QString question = cellText(row->cells[size_t(asked)], layout.encoding);
        const QString answer = cellText(row->cells[size_t(answered)], layout.encoding);
        Card card;
        card.origin = where;
        card.skipReason = unshowableReason(question + u'\n' + answer);
        card.question = fieldText(question, headers.markup);
        card.answer = fieldText(answer, headers.markup);
        deck.cards.push_back(std::move(card));
    }
    if (!table.complete)
        problems.push_back({ProblemKind::Error, QString::number(table.brokenLine), kBrokenQuote});
    return deck;
}

} // namespace montera::sets
