#include "codec932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace montera::cp932 {

namespace {

#include "cp932_table.inc"

constexpr char16_t kUndecodable = u'\u30FB';

constexpr int leadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

// Single bytes above ASCII that are not lead bytes: half-width katakana, and the
// five bytes Windows maps to fixed code points of their own.
constexpr char16_t singleByte(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xA1 && byte <= 0xDF)
        return char16_t(0xFF61 + (byte - 0xA1));
    switch (byte) {
    case 0x80:
        return 0x0080;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
        return 0xF8F1;
    case 0xFE:
        return 0xF8F2;
    default:
        return 0xF8F3;
    }
}

// Windows encodes a character that has several codes with the lowest one,
// never with the NEC-selected IBM rows 0xED and 0xEE (their characters are all
// in the IBM rows 0xFA-0xFC as well).
std::array<std::uint16_t, 0x10000> buildEncodeTable()
{
    std::array<std::uint16_t, 0x10000> table{};
    for (int byte = 0; byte < 0x100; ++byte) {
        if (!isLeadByte(static_cast<unsigned char>(byte)))
            table[singleByte(static_cast<unsigned char>(byte))] = static_cast<std::uint16_t>(byte);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)) || lead == 0xED || lead == 0xEE)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char16_t ch = kDoubleByteTable[leadIndex(static_cast<unsigned char>(lead))][trail - 0x40];
            if (ch != 0 && table[ch] == 0)
                table[ch] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    return table;
}

const std::array<std::uint16_t, 0x10000>& encodeTable()
{
    static const auto table = buildEncodeTable();
    return table;
}

} // namespace

namespace {

// For each byte, 1 + the row of kDoubleByteTable when it is a lead byte, 0
// otherwise: one look-up instead of two range tests in the decoder's loop.
constexpr std::array<std::uint8_t, 256> kLeadRows = [] {
    std::array<std::uint8_t, 256> rows{};
    for (int byte = 0x80; byte < 0x100; ++byte) {
        if (isLeadByte(static_cast<unsigned char>(byte)))
            rows[byte] = static_cast<std::uint8_t>(leadIndex(static_cast<unsigned char>(byte)) + 1);
    }
    return rows;
}();

} // namespace

char16_t pairToUnicode(unsigned char lead, unsigned char trail)
{
    if (!isLeadByte(lead) || trail < 0x40 || trail > 0xFC)
        return 0;
    return kDoubleByteTable[leadIndex(lead)][trail - 0x40];
}

char16_t* decodeInto(QByteArrayView bytes, char16_t* out, unsigned char mask)
{
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        const unsigned char byte = *in++ ^ mask;
        if (byte < 0x80) {
            *out++ = byte;
            continue;
        }
        const int row = kLeadRows[byte];
        if (row == 0) {
            *out++ = singleByte(byte);
        } else if (in == end) {
            *out++ = kUndecodable;
        } else {
            const unsigned char trail = *in++ ^ mask;
            const char16_t ch = trail >= 0x40 && trail <= 0xFC ? kDoubleByteTable[row - 1][trail - 0x40] : 0;
            *out++ = ch != 0 ? ch : kUndecodable;
        }
    }
    return out;
}

QString decode(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(result.data());
    result.truncate(decodeInto(bytes, begin) - begin);
    return result;
}

qsizetype firstUnencodable(QStringView text)
{
    const auto& table = encodeTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isSurrogate(ch) || (table[ch] == 0 && ch != 0))
            return i;
    }
    return -1;
}

QByteArray encode(QStringView text)
{
    const auto& table = encodeTable();
    QByteArray result;
    result.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            // One character outside the Basic Multilingual Plane: one "?".
            result.append('?');
            ++i;
            continue;
        }
        const std::uint16_t code = table[ch];
        if (code > 0xFF)
            result.append(static_cast<char>(code >> 8)).append(static_cast<char>(code & 0xFF));
        else if (code != 0 || ch == 0)
            result.append(static_cast<char>(code));
        else
            result.append('?');
    }
    return result;
}

} // namespace montera::cp932

namespace montera {

const char* textEncodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? "utf-8" : "cp932";
}

bool startsWithUtf16Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

int utf8SequenceLength(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    const auto at = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char first = at(0);
    if (first < 0x80)
        return 1;
    // The allowed range of the second byte depends on the first; every later
    // byte is 0x80 to 0xBF.
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0)
            low = 0xA0; // no overlong forms
        else if (first == 0xED)
            high = 0x9F; // no surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0)
            low = 0x90;
        else if (first == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF)
            return 0;
    }
    return length;
}

namespace {

struct Utf8Scan {
    bool wellFormed = true;
    bool nonAscii = false;
};

// One pass over the bytes; runs of ASCII are skipped eight bytes at a time,
// since most of a set's bytes are ASCII or none are.
Utf8Scan scanUtf8(QByteArrayView bytes)
{
    Utf8Scan scan;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        std::uint64_t word = 0;
        if (i + 8 <= size && (std::memcpy(&word, data + i, 8), (word & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        scan.nonAscii = true;
        const int length = utf8SequenceLength(bytes.sliced(i));
        if (length == 0) {
            scan.wellFormed = false;
            return scan;
        }
        i += length;
    }
    return scan;
}

} // namespace

bool isWellFormedUtf8(QByteArrayView bytes)
{
    return scanUtf8(bytes).wellFormed;
}

bool isWellFormedCp932(QByteArrayView bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (!cp932::isLeadByte(data[i]))
            continue;
        if (i + 1 == size || cp932::pairToUnicode(data[i], data[i + 1]) == 0)
            return false;
        ++i;
    }
    return true;
}

bool hasNonAscii(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

TextEncoding detectTextEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return TextEncoding::Utf8;
    // Code page 932 text with non-ASCII bytes almost never passes as UTF-8, and
    // that test stops at the first byte that fails, so the common case costs
    // little.
    const Utf8Scan scan = scanUtf8(bytes);
    if (scan.wellFormed && scan.nonAscii && !isWellFormedCp932(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

QByteArrayView withoutUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith(kUtf8Bom) ? bytes.sliced(kUtf8BomSize) : bytes;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(bytes) : cp932::decode(bytes);
}

} // namespace montera
