#include "read5tq.h"

#include "bank.h"
#include "codec932.h"
#include "fileutil.h"
#include "readers.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace montera {

namespace {

constexpr unsigned char kMask = 0x80;
// A stored blank, 0x20, unmasks to this.
constexpr unsigned char kMaskedBlank = 0xA0;

unsigned char byteAt(QByteArrayView bytes, qsizetype offset)
{
    return offset >= 0 && offset < bytes.size() ? static_cast<unsigned char>(bytes[offset]) : 0;
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

QString GetMaskedText(QByteArrayView buffer, qsizetype start, qsizetype length)
{
    const QByteArrayView bytes = field(buffer, start, length);
    const qsizetype from = start < 0 ? 0 : start;
    QVarLengthArray<char, kBlockSize> taken;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto unmasked = static_cast<unsigned char>(static_cast<unsigned char>(bytes[i]) ^ kMask);
        if (unmasked == kMaskedBlank) {
            // The look-ahead may reach into the next field of the buffer.
            const qsizetype next = from + i + 1;
            if (next < buffer.size() && (static_cast<unsigned char>(buffer[next]) ^ kMask) == kMaskedBlank)
                break;
        }
        taken.append(static_cast<char>(unmasked));
    }
    return cp932::decode(QByteArrayView(taken.constData(), taken.size()));
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

std::optional<QuestionBlock> GetQuestionBlock(QByteArrayView bytes, qsizetype k, const SectionHeader& header)
{
    const qsizetype start = (header.FirstBlock + k) * kBlockSize;
    if (k < 0 || start + kBlockSize - 1 > kLastReadableOffset || start + kBlockSize > bytes.size())
        return std::nullopt;
    // One zero byte after the block: the look-ahead of the last field sees it,
    // and it unmasks to 0x80, which never ends a text.
    std::array<char, kBlockSize + 1> buffer{};
    std::copy_n(bytes.data() + start, kBlockSize, buffer.begin());
    const QByteArrayView view(buffer.data(), buffer.size());
    QuestionBlock block;
    block.Text = GetMaskedText(view, 0, kTextSize);
    block.Choice1 = GetMaskedText(view, choiceOffset(0), kChoiceSize);
    block.Choice2 = GetMaskedText(view, choiceOffset(1), kChoiceSize);
    block.Choice3 = GetMaskedText(view, choiceOffset(2), kChoiceSize);
    block.Choice4 = GetMaskedText(view, choiceOffset(3), kChoiceSize);
    block.Choice5 = GetMaskedText(view, choiceOffset(4), kChoiceSize);
    return block;
}

int Read5TQ(QuestionBank& bank, const QByteArray& content, Findings* /*findings*/)
{
    // ReadBinaryFile always gives the full buffer; anything shorter is read as
    // if the missing bytes were the zeros after the end of a short file.
    QByteArray padded;
    QByteArrayView bytes = content;
    if (bytes.size() < kBinaryBufferSize) {
        padded = content;
        padded.resize(kBinaryBufferSize, '\0');
        bytes = padded;
    } else {
        bytes = bytes.first(kBinaryBufferSize);
    }

    int total = 0;
    QString shortSetName;
    for (int s = 0; s < kSectionCount; ++s) {
        const std::optional<SectionHeader> header = GetSectionHeader(bytes, qsizetype(s) * kBlockSize);
        if (!header || header->SetName.size() < 4)
            return 0;
        shortSetName = header->SetName.first(header->SetName.size() - 4);
        const QString title = shortSetName + QStringLiteral(" - ") + header->SectionName;
        for (int k = 0; k < header->Count; ++k) {
            std::optional<QuestionBlock> block = GetQuestionBlock(bytes, k, *header);
            const int q = total + k;
            if (!block || q >= kBankCapacity)
                return 0;
            bank.QuestionTitle[q] = title;
            bank.QuestionText[q] = std::move(block->Text);
            bank.AnswerIndex[q] = 0;
            auto& choices = bank.Choices[q];
            choices[0] = std::move(block->Choice1);
            choices[1] = std::move(block->Choice2);
            choices[2] = std::move(block->Choice3);
            choices[3] = std::move(block->Choice4);
            choices[4] = std::move(block->Choice5);
        }
        total += header->Count;
    }
    bank.SetTitle = shortSetName;
    bank.LastQuestion = total - 1;
    return total;
}

} // namespace montera
