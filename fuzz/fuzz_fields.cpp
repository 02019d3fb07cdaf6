// The text of flashcard fields on any text: HTML through libxml2, furigana,
// sounds and clozes. The text must come out trimmed, without CR, and each
// cloze number once, in rising order, with its gap in the question.

#include "fieldtext.h"
#include "fuzzutil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace montera::sets;
    const QString field = QString::fromUtf8(fuzzutil::view(data, size));
    for (const auto markup : {FieldMarkup::Html, FieldMarkup::PlainText}) {
        const QString text = fieldText(field, markup);
        if (text.contains(u'\r') || text.startsWith(u'\n') || text.endsWith(u'\n') || text != text.trimmed())
            std::abort();
    }
    unshowableReason(field);
    int last = 0;
    for (const Cloze& cloze : clozesOf(field)) {
        if (cloze.number <= last)
            std::abort();
        last = cloze.number;
        fieldText(cloze.question, FieldMarkup::Html);
    }
    return 0;
}
