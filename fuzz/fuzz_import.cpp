// The table reader of `montera-sets import` on any bytes: the first byte picks
// CSV or TSV and the encoding of the set. Whatever it accepts must be written
// as a set that loads to exactly the questions of the table.

#include "fuzzutil.h"
#include "importtable.h"
#include "qizwriter.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    using namespace montera;
    const auto format = data[0] & 1 ? sets::TableFormat::Tsv : sets::TableFormat::Csv;
    const auto encoding = data[0] & 2 ? TextEncoding::Utf8 : TextEncoding::Cp932;
    const QByteArray bytes = fuzzutil::view(data + 1, size - 1).toByteArray();
    std::vector<sets::TableProblem> problems;
    const sets::WrittenSet set = sets::readTable(bytes, format, QStringLiteral("題"), problems);
    if (!problems.empty() || !sets::unencodableCharacters(set, encoding).empty())
        return 0;
    if (set.questions.empty() || set.questions.size() > size_t(kBankCapacity))
        std::abort();

    static QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("set.qiz"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(sets::qizBytes(set, encoding));
    file.close();
    std::int16_t mode = 0;
    auto& bank = fuzzutil::bank();
    if (LoadQuestion(bank, mode, name) != LoadOutcome::Ok ||
        bank.LastQuestion + 1 != int(set.questions.size()) || bank.SetTitle != set.title)
        std::abort();
    for (int q = 0; q <= bank.LastQuestion; ++q) {
        const sets::WrittenQuestion& question = set.questions[size_t(q)];
        if (bank.QuestionText[q] != question.text || bank.QuestionTitle[q] != question.title ||
            bank.AnswerIndex[q] != question.answer - 1)
            std::abort();
        for (int c = 0; c < kChoiceCount; ++c) {
            if (bank.Choices[q][c] != question.choices[size_t(c)])
                std::abort();
        }
    }
    bank.clear();
    return 0;
}
