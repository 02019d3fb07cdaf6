#pragma once

#include "bank.h"
#include "codec932.h"
#include "fileutil.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzzutil {

inline QByteArrayView view(const std::uint8_t* data, std::size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// One bank for the whole run: a fresh one per input would spend most of the
// time allocating it. A target empties it at the end of each input (which
// touches only the entries the input filled), so that every input frees what
// it allocates; otherwise libFuzzer takes the texts left in the bank for a
// leak and runs the input again to look for one.
inline montera::QuestionBank& bank()
{
    static montera::QuestionBank instance;
    return instance;
}

// A folder for the set files of the loading targets, in memory where the
// system offers one, so that writing and reading a file costs no disk.
inline QString fileFolder()
{
    static const QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/montera-fuzz-XXXXXX")
                                                             : QDir::tempPath() + "/montera-fuzz-XXXXXX");
    return dir.path();
}

// The file lines as the text readers split them: a line ends at CR LF or at a
// lone CR.
inline QStringList fileLines(QByteArrayView bytes)
{
    QStringList lines;
    montera::forEachLine(bytes, montera::LineBreak::CrOrCrLf,
                         [&lines](QByteArrayView line) { lines << montera::cp932::decode(line); });
    return lines;
}

// The bank must always describe at most its capacity.
inline void checkBank(int result)
{
    const auto& b = bank();
    if (result < 0 || result > montera::kBankCapacity)
        std::abort();
    if (result > 0 && b.LastQuestion != result - 1)
        std::abort();
    if (static_cast<int>(b.QuestionText.size()) != montera::kBankCapacity)
        std::abort();
}

// Writes the input after its first byte to a set file whose ending the first
// byte picks (QIZ, 5TX or 5TQ) and returns its name; empty input gives none.
inline QString writeSetFile(const std::uint8_t* data, std::size_t size)
{
    static const QString names[] = {fileFolder() + "/set.qiz", fileFolder() + "/set.5tx",
                                    fileFolder() + "/set.5tq"};
    if (size == 0)
        return QString();
    const QString& name = names[data[0] % 3];
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
    return name;
}

} // namespace fuzzutil
