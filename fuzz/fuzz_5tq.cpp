// The 5TQ reader on any content: the bytes are the start of the file, the rest
// of the read buffer zeros.

#include "fuzzutil.h"
#include "readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto& bank = fuzzutil::bank();
    fuzzutil::checkBank(montera::Read5TQ(bank, bytes));
    bank.clear();
    return 0;
}
