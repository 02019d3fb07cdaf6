// The whole loading path: the first byte picks the format, the rest is written
// to a file and loaded as the program loads a set.

#include "fuzzutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString names[] = {dir.filePath("set.qiz"), dir.filePath("set.5tx"),
                                    dir.filePath("set.5tq")};
    if (size == 0)
        return 0;
    const QString& name = names[data[0] % 3];
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
    }
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
