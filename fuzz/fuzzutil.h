#pragma once

#include "bank.h"
#include "codec932.h"
#include "fileutil.h"

#include <QByteArray>
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
// time allocating it.
inline montera::QuestionBank& bank()
{
    static montera::QuestionBank instance;
    return instance;
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
    static QTemporaryDir dir;
    static const QString names[] = {dir.filePath("set.qiz"), dir.filePath("set.5tx"),
                                    dir.filePath("set.5tq")};
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
