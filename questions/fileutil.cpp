#include "fileutil.h"

#include "codec932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace montera {

namespace {

OversizeWarning& oversizeWarning()
{
    static OversizeWarning warning;
    return warning;
}

// QSaveFile writes into an unnamed file and, to replace the target, links it
// under the target's name plus a dot and six random letters and renames that
// over the target; without unnamed files the named one exists while it is
// written. A writer killed before the rename leaves that file behind, whole
// or not, while the target stays whole. Such leftovers are removed before
// the next write, so they never pile up.
void removeStaleSaveFiles(const QString& fileName)
{
    const QFileInfo target(fileName);
    const QString prefix = target.fileName() + u'.';
    QDir folder = target.dir();
    const QStringList candidates =
        folder.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : candidates) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        const QStringView suffix = QStringView(name).sliced(prefix.size());
        if (std::all_of(suffix.begin(), suffix.end(),
                        [](QChar c) { return c.isLetter() && c.unicode() < 128; }))
            folder.remove(name);
    }
}

bool readWholeFile(const QString& fileName, QByteArray& bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Calls onLine(line) for each line of the bytes. Lines are split before they are
// decoded: CR never occurs as a trail byte of code page 932.
template<typename OnLine>
void forEachLine(QByteArrayView bytes, OnLine onLine)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '\r')
            continue;
        onLine(bytes.sliced(start, i - start));
        if (i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        onLine(bytes.sliced(start));
}

} // namespace

void setOversizeWarning(OversizeWarning warning)
{
    oversizeWarning() = std::move(warning);
}

bool ReadTextFile(const QString& fileName, QString& text)
{
    text.clear();
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    text.reserve(bytes.size() + bytes.size() / 8);
    forEachLine(bytes, [&text](QByteArrayView line) {
        text += cp932::decode(line);
        text += u"\r\n";
    });
    return true;
}

bool ReadTextLines(const QString& fileName, QStringList& lines)
{
    lines = QStringList{QString()};
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    lines.clear();
    forEachLine(bytes, [&lines](QByteArrayView line) { lines.append(cp932::decode(line)); });
    lines.append(QString());
    return true;
}

bool ReadBinaryFile(const QString& fileName, QByteArray& bytes)
{
    bytes = QByteArray(1, '\0');
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // One byte more than the buffer tells whether the file is too long.
    QByteArray read = file.read(kBinaryBufferSize + 1);
    if (file.error() != QFileDevice::NoError)
        return false;
    const bool oversize = read.size() > kBinaryBufferSize;
    read.resize(kBinaryBufferSize, '\0');
    bytes = std::move(read);
    if (oversize && oversizeWarning())
        oversizeWarning()();
    return true;
}

bool WriteTextFile(const QString& fileName, const QString& text)
{
    removeStaleSaveFiles(fileName);
    QSaveFile file(fileName);
    // A read-only folder cannot take the temporary file; a writable file in it
    // is then written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(cp932::encode(text));
    return file.commit();
}

QString ItemOf(qsizetype index, const QStringList& items)
{
    if (index < 0 || index >= items.size())
        return QString();
    return items.at(index);
}

QString GetLine(qsizetype line, const QString& text)
{
    if (line < 0)
        return QString();
    qsizetype position = 0;
    for (qsizetype k = 0;; ++k) {
        const qsizetype lineFeed = text.indexOf(u'\n', position);
        if (lineFeed < 0)
            return QString();
        if (k == line)
            return text.sliced(position, lineFeed - position);
        position = lineFeed + 1;
    }
}

QString GetDoc(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QString();
    return line.sliced(equals + 1).toString();
}

} // namespace montera
