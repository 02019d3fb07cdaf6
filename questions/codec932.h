#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Every file this program reads or writes is Windows code page 932 text, and
// the question sets in circulation were written on Windows, so this codec
// reproduces what Windows gives byte for byte. It never fails: bytes that
// form no character decode to U+30FB, characters with no code become "?".
namespace montera::cp932 {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);

// True when the byte starts a double-byte character.
constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The character for a lead byte and its trail byte, or 0 when the pair is not
// defined.
char16_t pairToUnicode(unsigned char lead, unsigned char trail);

} // namespace montera::cp932
