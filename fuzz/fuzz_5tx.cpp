// The 5TX reader on any content, rebuilt as ReadTextFile does. Small inputs
// are also read line by line with GetLine, and both must agree.

#include "fileutil.h"
#include "fuzzutil.h"
#include "readers.h"

#include <memory>

namespace {

int readWithGetLine(montera::QuestionBank& bank, const QString& text)
{
    int n = 0;
    for (int line = 0;; ++line) {
        const QString value = montera::GetLine(line, text);
        if (line == 3) {
            bank.markFilled(0);
            bank.QuestionTitle[0] = value;
        }
        if (line < 5)
            continue;
        if (value.isEmpty() || n == montera::kBankCapacity)
            break;
        const int k = line - 6 * n - 5;
        if (k == 0) {
            bank.markFilled(n);
            bank.QuestionText[n] = value;
        } else {
            bank.Choices[n][k - 1] = value;
            if (k == 5)
                ++n;
        }
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString text;
    for (const QString& line : fuzzutil::fileLines(fuzzutil::view(data, size)))
        text += line + QStringLiteral("\r\n");
    // A lone LF inside a line is what makes the split interesting: let the
    // input reach it directly too.
    if (size > 0 && data[0] == 'L')
        text = montera::cp932::decode(fuzzutil::view(data + 1, size - 1));

    auto& bank = fuzzutil::bank();
    const int result = montera::Read5TX(bank, text);
    fuzzutil::checkBank(result);
    if (text.size() <= 2000) {
        static auto reference = std::make_unique<montera::QuestionBank>();
        if (readWithGetLine(*reference, text) != result)
            std::abort();
        for (int q = 0; q <= result && q < montera::kBankCapacity; ++q) {
            if (reference->QuestionText[q] != bank.QuestionText[q] ||
                reference->Choices[q] != bank.Choices[q] ||
                reference->QuestionTitle[q] != bank.QuestionTitle[q])
                std::abort();
        }
        reference->clear();
    }
    bank.clear();
    return 0;
}
