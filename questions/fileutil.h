#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Whole-file reading and writing, and the small text helpers that every
// question-set reader and the settings file use. All text passes through the
// code-page-932 codec; a line ends at CR LF or at a lone CR, while a lone LF is
// an ordinary character of its line.
namespace montera {

// The byte buffer of ReadBinaryFile always has exactly this many bytes.
inline constexpr qsizetype kBinaryBufferSize = 640001;

// Reads the file's lines, each followed by CR LF, whatever line ends it had.
bool ReadTextFile(const QString& fileName, QString& text);

// Reads the file's lines, followed by one empty element that the readers use to
// find the end.
bool ReadTextLines(const QString& fileName, QStringList& lines);

// Reads the first kBinaryBufferSize bytes of the file into a buffer of exactly
// that size, zeros after a shorter file. A longer file is reported through the
// oversize warning and still read.
bool ReadBinaryFile(const QString& fileName, QByteArray& bytes);

// Replaces the file with the text. The old file stays whole if writing fails.
bool WriteTextFile(const QString& fileName, const QString& text);

// The element at the index, or the empty string outside the list.
QString ItemOf(qsizetype index, const QStringList& items);

// Line n of the text, lines being separated by LF alone (a CR stays in its
// line). The piece after the last LF is never returned: asking for it, or for
// any line past it, gives the empty string.
QString GetLine(qsizetype line, const QString& text);

// The value of a KEY=value line: everything after the first "=", untrimmed, or
// the empty string when there is no "=".
QString GetDoc(QStringView line);

// The oversize warning of ReadBinaryFile goes through this hook so that the
// program can show a message box and the command-line tool a line on standard
// error. With no hook set, the warning is dropped.
using OversizeWarning = std::function<void()>;
void setOversizeWarning(OversizeWarning warning);

} // namespace montera
