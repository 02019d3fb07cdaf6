#include "read5tq.h"

#include "bank.h"
#include "codec932.h"
#include "fileutil.h"
#include "readers.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace montera {

namespace {

unsigned char byteAt(QByteArrayView bytes, qsizetype offset)
{
    return offset >= 0 && offset < bytes.size() ? static_cast<unsigned char>(bytes[offset]) : 0;
}

QString hexByte(QByteArrayView bytes, qsizetype offset)
{
    return QStringLiteral("0x%1")
        .arg(byteAt(bytes, offset), 2, 16, QChar(u'0'))
        .toUpper()
        .replace(u'X', u'x');
}

// A little-endian 16-bit field that must fit 15 bits.
std::optional<int> readCount(QByteArrayView bytes, qsizetype offset)
{
    const unsigned char high = byteAt(bytes, offset + 1);
    if (high >= 0x80)
        return std::nullopt;
    return high * 256 + byteAt(bytes, offset);
}

// The clamped part [start, start + length) of the buffer.
QByteArrayView field(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    const qsizetype from = std::clamp<qsizetype>(start, 0, buffer.size());
    const qsizetype to = std::clamp<qsizetype>(start + std::max<qsizetype>(length, 0), from, buffer.size());
    return buffer.sliced(from, to - from);
}

} // namespace

QString trimTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.first(end);
}

QString GetFieldText(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    return cp932::decode(field(buffer, start, length));
}

namespace {

// The length of the masked text at the start of the field: up to the first
// stored blank (0x20, which unmasks to kMaskedBlank) that another follows.
// The look-ahead may reach into the next field of the buffer.
qsizetype maskedTextLength(QByteArrayView buffer, QByteArrayView bytes)
{
    // Stored blanks are rare in masked text: jump from one to the next.
    const char* const end = bytes.data() + bytes.size();
    const char* const bufferEnd = buffer.data() + buffer.size();
    const char* blank = bytes.data();
    while (blank < end) {
        blank = static_cast<const char*>(std::memchr(blank, ' ', size_t(end - blank)));
        if (!blank)
            break;
        if (blank + 1 < bufferEnd && blank[1] == ' ')
            return blank - bytes.data();
        ++blank;
    }
    return bytes.size();
}

// The masked bytes of the field, up to the end mark.
QByteArrayView maskedField(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    const QByteArrayView bytes = field(buffer, start, length);
    return bytes.first(maskedTextLength(buffer, bytes));
}

} // namespace

QByteArray GetMaskedBytes(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    QByteArray taken = maskedField(buffer, start, length).toByteArray();
    for (char& byte : taken)
        byte = static_cast<char>(byte ^ kMask);
    return taken;
}

QString GetMaskedText(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    const QByteArrayView masked = maskedField(buffer, start, length);
    QString text(masked.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(cp932::decodeInto(masked, begin, kMask) - begin);
    return text;
}

std::optional<SectionHeader> GetSectionHeader(QByteArrayView bytes, qsizetype offset)
{
    const std::optional<int> count = readCount(bytes, offset + kCountOffset);
    const std::optional<int> firstBlock = readCount(bytes, offset + kFirstBlockOffset);
    if (!count || !firstBlock)
        return std::nullopt;
    SectionHeader header;
    header.SectionName =
        trimTrailingBlanks(GetFieldText(bytes, offset + kSectionNameOffset, kSectionNameSize));
    header.Count = *count;
    header.FirstBlock = *firstBlock;
    header.SetName = trimTrailingBlanks(GetFieldText(bytes, offset + kSetNameOffset, kSetNameSize));
    header.ExtraText = trimTrailingBlanks(GetFieldText(bytes, offset + kExtraTextOffset, kExtraTextSize));
    return header;
}

namespace {

// The fields of the block's 256 bytes. The look-ahead of the last field
// reaches past them, which counts as no blank: the next block's first byte
// never ends a text.
QuestionBlock decodeBlock(QByteArrayView view)
{
    QuestionBlock block;
    block.Text = GetMaskedText(view, 0, kTextSize);
    block.Choice1 = GetMaskedText(view, choiceOffset(0), kChoiceSize);
    block.Choice2 = GetMaskedText(view, choiceOffset(1), kChoiceSize);
    block.Choice3 = GetMaskedText(view, choiceOffset(2), kChoiceSize);
    block.Choice4 = GetMaskedText(view, choiceOffset(3), kChoiceSize);
    block.Choice5 = GetMaskedText(view, choiceOffset(4), kChoiceSize);
    return block;
}

} // namespace

std::optional<QuestionBlock> GetQuestionBlock(QByteArrayView bytes, qsizetype k, const SectionHeader& header)
{
    const qsizetype start = (header.FirstBlock + k) * kBlockSize;
    if (k < 0 || start + kBlockSize - 1 > kLastReadableOffset)
        return std::nullopt;
    // Bytes past the end of the given ones are zeros. A block of zeros, the
    // usual one past the end of a set, is the same every time: it is decoded
    // once, and its texts are shared.
    static constexpr std::array<char, kBlockSize> kZeroBlock{};
    static const QuestionBlock zeros = decodeBlock(QByteArrayView(kZeroBlock.data(), kZeroBlock.size()));
    if (start + kBlockSize <= bytes.size()) {
        const QByteArrayView block = bytes.sliced(start, kBlockSize);
        if (block[0] == 0 && std::memcmp(block.data(), kZeroBlock.data(), kBlockSize) == 0)
            return zeros;
        return decodeBlock(block);
    }
    if (start >= bytes.size())
        return zeros;
    std::array<char, kBlockSize> buffer{};
    std::copy_n(bytes.data() + start, bytes.size() - start, buffer.begin());
    return decodeBlock(QByteArrayView(buffer.data(), buffer.size()));
}

namespace {

// The last block whose 256 bytes all lie within the buffer.
constexpr int kLastReadableBlock = int((kLastReadableOffset + 1) / kBlockSize) - 1;

// The reasons why the header at the offset makes the set invalid.
void reportHeaderErrors(LoadReport& report, QByteArrayView bytes, qsizetype offset, const QString& section)
{
    for (const int field : {kCountOffset, kFirstBlockOffset}) {
        if (byteAt(bytes, offset + field + 1) >= 0x80)
            report.findings.push_back(
                {Severity::Error, 0, offset + field + 1,
                 section + QStringLiteral("the %1 (bytes %2 %3) is above 32767")
                               .arg(field == kCountOffset ? "question count" : "first block number",
                                    hexByte(bytes, offset + field), hexByte(bytes, offset + field + 1))});
    }
    const QString setName = trimTrailingBlanks(GetFieldText(bytes, offset + kSetNameOffset, kSetNameSize));
    if (setName.size() < 4)
        report.findings.push_back({Severity::Error, 0, offset + kSetNameOffset,
                                   section + QStringLiteral("the set name %1 has fewer than 4 characters")
                                                 .arg(quotedForMessage(setName))});
}

} // namespace

int Read5TQ(QuestionBank& bank, const QByteArray& content, LoadReport* report)
{
    // Anything shorter than the buffer of ReadBinaryFile is read as if the
    // missing bytes were the zeros after the end of a short file. Only the
    // headers are copied to make them whole: a question block reads the bytes
    // past the end as zeros by itself.
    const QByteArrayView blocks = QByteArrayView(content).first(std::min(content.size(), kBinaryBufferSize));
    std::array<char, kSectionCount * kBlockSize> headers{};
    std::copy_n(blocks.data(), std::min<qsizetype>(headers.size(), blocks.size()), headers.begin());
    const QByteArrayView bytes(headers.data(), headers.size());

    // Without a report the first fault ends the reading. With one, every
    // section is looked at, so that each fault is reported, but nothing more
    // is written to the bank after the first.
    bool valid = true;
    bool anyQuestions = false;
    bool overCapacity = false;
    int total = 0;
    QString shortSetName;
    for (int s = 0; s < kSectionCount; ++s) {
        const qsizetype offset = qsizetype(s) * kBlockSize;
        const QString section = report ? QStringLiteral("section %1: ").arg(s + 1) : QString();
        if (report)
            reportHeaderErrors(*report, bytes, offset, section);
        const std::optional<SectionHeader> header = GetSectionHeader(bytes, offset);
        anyQuestions = anyQuestions || (header && header->Count > 0);
        if (!header || header->SetName.size() < 4) {
            if (!report)
                return 0;
            valid = false;
            // A section with a readable count still counts its questions.
            if (!header)
                continue;
        }
        QString title;
        if (valid) {
            shortSetName = header->SetName.first(header->SetName.size() - 4);
            title = shortSetName + QStringLiteral(" - ") + header->SectionName;
        }
        // Where a question's block is no longer readable, and where the bank
        // is full: between these, a question that is not stored changes
        // nothing, and the loop jumps to the next of them.
        const int firstUnreadable = std::max(0, kLastReadableBlock + 1 - header->FirstBlock);
        const int firstOverCapacity = kBankCapacity - total;
        const auto nextChange = [&](int k) {
            int next = std::min<int>(header->Count, std::max(k + 1, firstUnreadable));
            if (!overCapacity && firstOverCapacity > k)
                next = std::min(next, firstOverCapacity);
            return next;
        };
        for (int k = 0; k < header->Count; ++k) {
            const bool readable = header->FirstBlock + k <= kLastReadableBlock;
            const int q = total + k;
            const qsizetype start = (qsizetype(header->FirstBlock) + k) * kBlockSize;
            if (!readable || q >= kBankCapacity) {
                if (!report)
                    return 0;
                if (!readable) {
                    report->findings.push_back(
                        {Severity::Error, 0, start,
                         section +
                             QStringLiteral("question %1 is in block %2, beyond the last readable block 2499")
                                 .arg(k + 1)
                                 .arg(header->FirstBlock + k)});
                    valid = false;
                    break;
                }
                if (!overCapacity)
                    report->findings.push_back(
                        {Severity::Error, 0, start,
                         section + QStringLiteral("question %1 is the 2049th of the set; the limit is 2048")
                                       .arg(k + 1)});
                overCapacity = true;
                valid = false;
                k = nextChange(k) - 1;
                continue;
            }
            if (!valid) {
                k = nextChange(k) - 1;
                continue;
            }
            std::optional<QuestionBlock> block = GetQuestionBlock(blocks, k, *header);
            bank.markFilled(q);
            bank.QuestionTitle[q] = title;
            bank.QuestionText[q] = std::move(block->Text);
            bank.AnswerIndex[q] = 0;
            auto& choices = bank.Choices[q];
            choices[0] = std::move(block->Choice1);
            choices[1] = std::move(block->Choice2);
            choices[2] = std::move(block->Choice3);
            choices[3] = std::move(block->Choice4);
            choices[4] = std::move(block->Choice5);
            if (report)
                report->questionStarts.push_back(start);
        }
        total += header->Count;
    }
    if (report && !anyQuestions)
        report->findings.push_back(
            {Severity::Error, 0, -1,
             QStringLiteral("no section has questions: all eight question counts are 0")});
    if (!valid)
        return 0;
    bank.SetTitle = shortSetName;
    bank.LastQuestion = total - 1;
    return total;
}

} // namespace montera
