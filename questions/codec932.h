#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Every file this program reads or writes is Windows code page 932 text, and
// the question sets in circulation were written on Windows, so this codec
// reproduces what Windows gives byte for byte. It never fails: bytes that
// form no character decode to U+30FB, characters with no code become "?".
// Question sets written today may also be UTF-8; the rule that tells the two
// apart lives here too, so that every reader and tool applies the same one.
namespace montera::cp932 {

QString decode(QByteArrayView bytes);

// Decodes into the buffer at out, which has room for bytes.size() units, and
// returns the end of what it wrote. Each byte is first XORed with the mask.
char16_t* decodeInto(QByteArrayView bytes, char16_t* out, unsigned char mask = 0);
QByteArray encode(QStringView text);

// The index of the first character of the text that encode would write as
// "?" for want of a code, or -1 when it has a code for every character.
qsizetype firstUnencodable(QStringView text);

// True when the byte starts a double-byte character.
constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The character for a lead byte and its trail byte, or 0 when the pair is not
// defined.
char16_t pairToUnicode(unsigned char lead, unsigned char trail);

} // namespace montera::cp932

namespace montera {

enum class TextEncoding {
    Cp932,
    Utf8,
};

// "cp932" or "utf-8", as the set tool prints it.
const char* textEncodingName(TextEncoding encoding);

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
inline constexpr qsizetype kUtf8BomSize = 3;

// True when the bytes start with a UTF-16 byte-order mark (FF FE or FE FF).
bool startsWithUtf16Bom(QByteArrayView bytes);

// The length of the well-formed UTF-8 sequence at the start of the bytes (1 to
// 4), or 0 when they start with none: no overlong forms, no surrogates,
// nothing above U+10FFFF, as Unicode defines well-formed UTF-8.
int utf8SequenceLength(QByteArrayView bytes);

// True when the whole of the bytes is well-formed UTF-8.
bool isWellFormedUtf8(QByteArrayView bytes);

// True when the bytes are well-formed code page 932 as the decoder reads them:
// every lead byte has a byte after it and forms a defined pair with it.
bool isWellFormedCp932(QByteArrayView bytes);

// True when the bytes hold a byte 0x80 or above.
bool hasNonAscii(QByteArrayView bytes);

// The encoding of a text question set: UTF-8 when it starts with the UTF-8
// byte-order mark, or when it is well-formed UTF-8 with some non-ASCII byte
// and not well-formed code page 932; code page 932 otherwise. So every file
// that decodes cleanly as code page 932 stays code page 932.
TextEncoding detectTextEncoding(QByteArrayView bytes);

// The bytes of a text set without a leading UTF-8 byte-order mark.
QByteArrayView withoutUtf8Bom(QByteArrayView bytes);

// Decodes with the encoding. UTF-8 sequences that are not well-formed become
// U+FFFD, as Qt's decoder gives them.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

} // namespace montera
