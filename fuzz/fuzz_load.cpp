// The whole loading path: the first byte picks the format, the rest is written
// to a file and loaded as the program loads a set.

#include "fuzzutil.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name = fuzzutil::writeSetFile(data, size);
    if (name.isEmpty())
        return 0;
    std::int16_t mode = 3;
    const montera::LoadOutcome outcome = montera::LoadQuestion(fuzzutil::bank(), mode, name);
    const auto& bank = fuzzutil::bank();
    if (outcome == montera::LoadOutcome::Ok) {
        if (bank.LastQuestion < 0 || bank.LastQuestion >= montera::kBankCapacity || mode != 3)
            std::abort();
    } else if (bank.LastQuestion != 0 || mode != 0 || bank.AnswerIndex[0] != -1) {
        std::abort();
    }
    return 0;
}
