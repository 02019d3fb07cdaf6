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

// Decodes the line into the buffer at out, which has room for line.size()
// units: neither decoder makes more units than it reads bytes.
char16_t* decodeTextInto(QByteArrayView line, TextEncoding encoding, char16_t* out)
{
    if (encoding == TextEncoding::Cp932)
        return cp932::decodeInto(line, out);
    const QString decoded = QString::fromUtf8(line);
    Q_ASSERT(decoded.size() <= line.size());
    return std::copy_n(decoded.utf16(), decoded.size(), out);
}

// Decodes every line of the body into one string, each line followed by the
// separator, and calls onLine(start) with the position in the string where
// each line starts. One allocation for the whole text, not one per line.
template<typename OnLine>
QString decodeLines(const TextLayout& layout, QStringView separator, OnLine onLine)
{
    const QByteArrayView body = layout.body;
    const char end = layout.lineBreak == LineBreak::Lf ? '\n' : '\r';
    const qsizetype lineCount = std::count(body.begin(), body.end(), end) + 1;
    QString text(body.size() + lineCount * separator.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    forEachLine(body, layout.lineBreak, [&](QByteArrayView line) {
        onLine(out - begin);
        out = decodeTextInto(line, layout.encoding, out);
        out = std::copy_n(separator.utf16(), separator.size(), out);
    });
    text.truncate(out - begin);
    return text;
}

// The text of the bytes' lines, each followed by CR LF.
void appendLines(const TextLayout& layout, QString& text)
{
    text = decodeLines(layout, u"\r\n", [](qsizetype) {});
}

// The bytes' lines and the empty element after them.
void appendLines(const TextLayout& layout, QStringList& lines)
{
    forEachLine(layout.body, layout.lineBreak,
                [&lines, &layout](QByteArrayView line) { lines.append(decodeText(line, layout.encoding)); });
    lines.append(QString());
}

void appendLines(const TextLayout& layout, TextLines& lines)
{
    std::vector<qsizetype> starts;
    lines.text = decodeLines(layout, {}, [&starts](qsizetype start) { starts.push_back(start); });
    starts.push_back(lines.text.size());
    lines.lines.reserve(starts.size());
    const QStringView text = lines.text;
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        lines.lines.push_back(text.sliced(starts[i], starts[i + 1] - starts[i]));
    lines.lines.emplace_back();
}

// Reads a text set in the encoding it was saved in. The output keeps the
// value the caller gave it for a file that cannot be read, and is replaced by
// the file's text otherwise.
template<typename Output>
bool readDetected(const QString& fileName, Output& output, TextEncoding& encoding)
{
    encoding = TextEncoding::Cp932;
    QByteArray bytes;
    if (!readWholeFile(fileName, bytes))
        return false;
    const TextLayout layout = textLayoutOf(bytes);
    encoding = layout.encoding;
    output = Output();
    appendLines(layout, output);
    return true;
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
    appendLines(TextLayout{TextEncoding::Cp932, bytes, LineBreak::CrOrCrLf}, text);
    return true;
}

bool ReadTextFile(const QString& fileName, QString& text, TextEncoding& encoding)
{
    text.clear();
    return readDetected(fileName, text, encoding);
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
    return readDetected(fileName, lines, encoding);
}

bool ReadTextLines(const QString& fileName, TextLines& lines, TextEncoding& encoding)
{
    lines = TextLines();
    return readDetected(fileName, lines, encoding);
}

bool ReadBinaryFile(const QString& fileName, QByteArray& bytes)
{
    if (!ReadBinaryFileStart(fileName, bytes))
        return false;
    bytes.resize(kBinaryBufferSize, '\0');
    return true;
}

bool ReadBinaryFileStart(const QString& fileName, QByteArray& bytes)
{
    bytes = QByteArray(1, '\0');
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // One byte more than the buffer tells whether the file is too long. The
    // read allocates what it is asked for: ask no more than the file has.
    const qint64 fileSize = file.isSequential() ? 0 : file.size();
    const qint64 limit = kBinaryBufferSize + 1;
    QByteArray read = file.read(fileSize > 0 ? std::min(fileSize + 1, limit) : limit);
    if (file.error() != QFileDevice::NoError)
        return false;
    const bool oversize = read.size() > kBinaryBufferSize;
    if (oversize)
        read.truncate(kBinaryBufferSize);
    bytes = std::move(read);
    if (oversize && oversizeWarning())
        oversizeWarning()();
    return true;
}

bool WriteTextFile(const QString& fileName, const QString& text, QString* error)
{
    removeStaleSaveFiles(fileName);
    QSaveFile file(fileName);
    // A read-only folder cannot take the temporary file; a writable file in it
    // is then written in place.
    file.setDirectWriteFallback(true);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        file.write(cp932::encode(text));
        written = file.commit();
    }
    if (!written && error)
        *error = file.errorString();
    return written;
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

QStringView docOf(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QStringView();
    return line.sliced(equals + 1);
}

QString GetDoc(QStringView line)
{
    return docOf(line).toString();
}

} // namespace montera
