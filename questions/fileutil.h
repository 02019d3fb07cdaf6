#pragma once

#include "codec932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstring>
#include <functional>
#include <vector>

// Whole-file reading and writing, and the small text helpers that every
// question-set reader and the settings file use. All text passes through the
// code-page-932 codec; a line ends at CR LF or at a lone CR, while a lone LF is
// an ordinary character of its line. Question sets may also be UTF-8 (see
// detectTextEncoding); one that holds no CR at all ends its lines with LF.
namespace montera {

enum class LineBreak {
    CrOrCrLf, // CR LF or a lone CR ends a line; a lone LF belongs to its line
    Lf,       // each LF ends a line
};

// How the bytes of a text file are to be read: the encoding, the bytes after a
// UTF-8 byte-order mark, and the line break.
struct TextLayout {
    TextEncoding encoding = TextEncoding::Cp932;
    QByteArrayView body;
    LineBreak lineBreak = LineBreak::CrOrCrLf;
};

// The layout of a question set's bytes; the view refers into them.
TextLayout textLayoutOf(QByteArrayView bytes);

// Calls onLine(line) for each line of the bytes, without its line end. A line
// end just before the end of the bytes adds no empty line. Lines are split
// before they are decoded: neither CR nor LF occurs inside a character of
// code page 932 or of UTF-8.
template<typename OnLine>
void forEachLine(QByteArrayView bytes, LineBreak lineBreak, OnLine onLine)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    const char end = lineBreak == LineBreak::Lf ? '\n' : '\r';
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const void* found = std::memchr(data + i, end, size_t(size - i));
        if (!found)
            break;
        i = static_cast<const char*>(found) - data;
        onLine(bytes.sliced(start, i - start));
        if (lineBreak == LineBreak::CrOrCrLf && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        onLine(bytes.sliced(start));
}

// The byte buffer of ReadBinaryFile always has exactly this many bytes.
inline constexpr qsizetype kBinaryBufferSize = 640001;

// Reads the file's lines, each followed by CR LF, whatever line ends it had.
bool ReadTextFile(const QString& fileName, QString& text);

// Reads the file's lines, followed by one empty element that the readers use to
// find the end.
bool ReadTextLines(const QString& fileName, QStringList& lines);

// The same for a question set, which may be UTF-8: the encoding it was read
// with is stored in encoding.
bool ReadTextFile(const QString& fileName, QString& text, TextEncoding& encoding);
bool ReadTextLines(const QString& fileName, QStringList& lines, TextEncoding& encoding);

// A text file's lines decoded into one string, so that reading a large set
// costs one allocation rather than one per line. The views refer into text;
// the last is the empty element that ReadTextLines appends.
struct TextLines {
    QString text;
    std::vector<QStringView> lines;
};
bool ReadTextLines(const QString& fileName, TextLines& lines, TextEncoding& encoding);

// Reads the first kBinaryBufferSize bytes of the file into a buffer of exactly
// that size, zeros after a shorter file. A longer file is reported through the
// oversize warning and still read.
bool ReadBinaryFile(const QString& fileName, QByteArray& bytes);
// The same without the zeros after a shorter file, for a reader that takes
// bytes past the end as zeros itself.
bool ReadBinaryFileStart(const QString& fileName, QByteArray& bytes);

// Replaces the file with the text. The old file stays whole if writing fails;
// error then takes the reason, when given.
bool WriteTextFile(const QString& fileName, const QString& text, QString* error = nullptr);

// The element at the index, or the empty string outside the list.
QString ItemOf(qsizetype index, const QStringList& items);

// Line n of the text, lines being separated by LF alone (a CR stays in its
// line). The piece after the last LF is never returned: asking for it, or for
// any line past it, gives the empty string.
QString GetLine(qsizetype line, const QString& text);

// The value of a KEY=value line: everything after the first "=", untrimmed, or
// the empty string when there is no "=".
QString GetDoc(QStringView line);
// The same as a view into the line: a null view when there is no "=".
QStringView docOf(QStringView line);

// The oversize warning of ReadBinaryFile goes through this hook so that the
// program can show a message box and the command-line tool a line on standard
// error. With no hook set, the warning is dropped.
using OversizeWarning = std::function<void()>;
void setOversizeWarning(OversizeWarning warning);

} // namespace montera
