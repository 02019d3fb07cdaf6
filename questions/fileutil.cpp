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

} // namespace

void setOversizeWarning(OversizeWarning warning)
{
    oversizeWarning() = std::move(warning);
}

namespace {

// The text of the bytes' lines, each followed by CR LF.
void appendLines(QByteArrayView bytes, const TextLayout& layout, QString& text)
{
    text.reserve(bytes.size() + bytes.size() / 8);
    forEachLine(layout.body, layout.lineBreak, [&text, &layout](QByteArrayView line) {
        text += decodeText(line, layout.encoding);
        text += u"\r\n";
    });
}

// The bytes' lines and the empty element after them.
void appendLines(const TextLayout& layout, QStringList& lines)
{
    forEachLine(layout.body, layout.lineBreak,
                [&lines, &layout](QByteArrayView line) { lines.append(decodeText(line, layout.encoding)); });
    lines.append(QString());
}

} // namespace

TextLayout textLayoutOf(QByteArrayView bytes)
{
    TextLayout layout;
    layout.encoding = detectTextEncoding(bytes);
    if (layout.encoding == TextEncoding::Cp932) {
        layout.body = bytes;
        return layout;
    }
    layout.body = withoutUtf8Bom(bytes);
    // Editors on Linux and macOS end lines with LF alone.
    if (!layout.body.contains('\r'))
        layout.lineBreak = LineBreak::Lf;
    return layout;
}

bool ReadTextFile(const QString& fileName, QString& text)
{
    text.clear();
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    appendLines(bytes, TextLayout{TextEncoding::Cp932, bytes, LineBreak::CrOrCrLf}, text);
    return true;
}

bool ReadTextFile(const QString& fileName, QString& text, TextEncoding& encoding)
{
    text.clear();
    encoding = TextEncoding::Cp932;
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    const TextLayout layout = textLayoutOf(bytes);
    encoding = layout.encoding;
    appendLines(bytes, layout, text);
    return true;
}

bool ReadTextLines(const QString& fileName, QStringList& lines)
{
    lines = QStringList{QString()};
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    lines.clear();
    appendLines(TextLayout{TextEncoding::Cp932, bytes, LineBreak::CrOrCrLf}, lines);
    return true;
}

bool ReadTextLines(const QString& fileName, QStringList& lines, TextEncoding& encoding)
{
    lines = QStringList{QString()};
    encoding = TextEncoding::Cp932;
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    lines.clear();
    const TextLayout layout = textLayoutOf(bytes);
    encoding = layout.encoding;
    appendLines(layout, lines);
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
