// The two-column list of `montera-sets import --pairs` on any bytes: the
// first byte picks CSV or TSV, a heading row and the reversed side. Whatever
// it reads must be cards with a row number and text the show can hold.

#include "fuzzutil.h"
#include "pairtable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    using namespace montera::sets;
    const auto format = data[0] & 1 ? TableFormat::Tsv : TableFormat::Csv;
    const auto heading = data[0] & 2 ? HeadingRow::Present : HeadingRow::Absent;
    FieldChoice fields;
    fields.side = data[0] & 4 ? FieldChoice::Side::Reversed : FieldChoice::Side::AsNamed;
    if (data[0] & 8)
        fields.answer = QStringLiteral("3");
    CardProblems problems;
    const Deck deck =
        readPairTable(fuzzutil::view(data + 1, size - 1).toByteArray(), format, heading, fields, problems);
    for (const Card& card : deck.cards) {
        bool isRow = false;
        if (card.origin.toInt(&isRow) < 1 || !isRow || card.question.contains(u'\r') ||
            card.answer.contains(u'\r'))
            std::abort();
    }
    for (const CardProblem& problem : problems) {
        if (problem.message.isEmpty())
            std::abort();
    }
    return 0;
}
