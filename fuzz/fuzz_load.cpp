// The whole loading path: the first byte picks the format, the rest is written
// to a file and loaded as the program loads a set.

#include "findings.h"
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
    // A report changes nothing of what is loaded.
    static auto reported = std::make_unique<montera::QuestionBank>();
    montera::LoadReport report;
    std::int16_t reportedMode = 3;
    if (montera::LoadQuestion(*reported, reportedMode, name, &report) != outcome || reportedMode != mode ||
        reported->LastQuestion != bank.LastQuestion || reported->SetTitle != bank.SetTitle)
        std::abort();
    for (int q = 0; q < montera::kBankCapacity; ++q) {
        if (reported->QuestionText[q] != bank.QuestionText[q] ||
            reported->QuestionTitle[q] != bank.QuestionTitle[q] || reported->Choices[q] != bank.Choices[q] ||
            reported->AnswerIndex[q] != bank.AnswerIndex[q])
            std::abort();
    }
    fuzzutil::bank().clear();
    reported->clear();
    return 0;
}
