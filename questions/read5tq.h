#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The parts of the 5TQ reader: eight section headers at the start of the file,
// each naming a run of 256-byte question blocks whose texts are stored masked
// (every byte with its top bit flipped).
namespace montera {

inline constexpr int kBlockSize = 256;
inline constexpr int kSectionCount = 8;
// The highest byte offset a question block may reach: the last byte of the
// buffer that ReadBinaryFile fills.
inline constexpr qsizetype kLastReadableOffset = 640000;

// A text byte is stored with this bit flipped; a stored blank, 0x20, thus
// unmasks to kMaskedBlank, and two of them in a row end a text.
inline constexpr unsigned char kMask = 0x80;
inline constexpr unsigned char kMaskedBlank = 0xA0;

// Offsets within a section header.
inline constexpr int kSectionNameOffset = 0;
inline constexpr int kSectionNameSize = 16;
inline constexpr int kCountOffset = 18;
inline constexpr int kFirstBlockOffset = 20;
inline constexpr int kSetNameOffset = 22;
inline constexpr int kSetNameSize = 12;
inline constexpr int kExtraTextOffset = 34;
inline constexpr int kExtraTextSize = 8;

// Offsets within a question block: the text, then five choices, the correct
// one first.
inline constexpr int kTextSize = 116;
inline constexpr int kChoiceSize = 28;
inline constexpr int choiceOffset(int choice)
{
    return kTextSize + choice * kChoiceSize;
}

struct SectionHeader {
    QString SectionName;
    int Count = 0;
    int FirstBlock = 0;
    QString SetName;
    QString ExtraText;
};

struct QuestionBlock {
    QString Text;
    QString Choice1;
    QString Choice2;
    QString Choice3;
    QString Choice4;
    QString Choice5;
};

// The header at the offset, its texts without trailing blanks (NUL characters
// stay). Nothing when Count or FirstBlock does not fit 15 bits, that is when
// the high byte of either is 0x80 or more.
std::optional<SectionHeader> GetSectionHeader(QByteArrayView bytes, qsizetype offset);

// Question k of the section, from the start of the buffer: bytes past the
// end of the given ones read as zeros. Nothing when the block reaches beyond
// offset kLastReadableOffset of the buffer.
std::optional<QuestionBlock> GetQuestionBlock(QByteArrayView bytes, qsizetype k, const SectionHeader& header);

// The masked text of the field: each byte with its top bit flipped, up to the
// first two bytes in a row that both unmask to 0xA0 (stored blanks). The byte
// after the field is looked at too, so a field can end one byte early when the
// next field begins with a stored blank; past the end of the buffer counts as
// no blank.
QString GetMaskedText(QByteArrayView buffer, qsizetype start, qsizetype length);

// The bytes that GetMaskedText decodes, unmasked.
QByteArray GetMaskedBytes(QByteArrayView buffer, qsizetype start, qsizetype length);

// The plain text of the field, untrimmed.
QString GetFieldText(QByteArrayView buffer, qsizetype start, qsizetype length);

// The text without its trailing U+0020 blanks.
QString trimTrailingBlanks(const QString& text);

} // namespace montera
