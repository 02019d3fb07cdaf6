// The 5TQ reader on any content: the bytes are the start of the file, the rest
// of the read buffer zeros. An input whose size is a multiple of 64 is also
// read padded with those zeros, as ReadBinaryFile gives it, and both readings
// must agree. Padding every input would cost more than the reading.

#include "fuzzutil.h"
#include "readers.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto& bank = fuzzutil::bank();
    const int result = montera::Read5TQ(bank, bytes);
    fuzzutil::checkBank(result);
    if (size % 64 == 0) {
        static auto padded = std::make_unique<montera::QuestionBank>();
        QByteArray buffer = bytes;
        buffer.resize(montera::kBinaryBufferSize, '\0');
        if (montera::Read5TQ(*padded, buffer) != result || padded->LastQuestion != bank.LastQuestion ||
            padded->SetTitle != bank.SetTitle)
            std::abort();
        for (int q = 0; q < montera::kBankCapacity; ++q) {
            if (padded->QuestionText[q] != bank.QuestionText[q] ||
                padded->QuestionTitle[q] != bank.QuestionTitle[q] || padded->Choices[q] != bank.Choices[q] ||
                padded->AnswerIndex[q] != bank.AnswerIndex[q])
                std::abort();
        }
        padded->clear();
    }
    bank.clear();
    return 0;
}
