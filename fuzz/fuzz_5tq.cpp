// The 5TQ reader on any content: the bytes are the start of the file, the rest
// of the read buffer zeros.

#include "fuzzutil.h"
#include "readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto& bank = fuzzutil::bank();
    fuzzutil::checkBank(montera::Read5TQ(bank, bytes));
    // A set that fails part-way leaves the questions read before the fault;
    // each has a text, if only an empty one, and they come first.
    int filled = 0;
    while (filled < montera::kBankCapacity && !bank.QuestionText[filled].isNull())
        ++filled;
    fuzzutil::clearEntries(bank, filled);
    return 0;
}
