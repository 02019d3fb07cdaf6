#pragma once

#include "codec932.h"
#include "fileutil.h"
#include "read5tq.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testutil {

// Builds 5TQ content in a full read buffer. Every header starts as a valid
// empty section with the set name "SAMPLE.5TQ" padded with blanks; question
// fields are masked and padded with stored blanks.
class Set5tq {
public:
    Set5tq()
    {
        for (int s = 0; s < montera::kSectionCount; ++s)
            section(s, "", 0, 0);
    }

    // A header with the given plain fields; the set name is written as given,
    // padded with blanks.
    Set5tq& section(int s, const QString& name, int count, int firstBlock,
                    const QByteArray& setName = "SAMPLE.5TQ")
    {
        const qsizetype o = qsizetype(s) * montera::kBlockSize;
        put(o + montera::kSectionNameOffset, padded(montera::cp932::encode(name), montera::kSectionNameSize));
        put16(o + montera::kCountOffset, count);
        put16(o + montera::kFirstBlockOffset, firstBlock);
        put(o + montera::kSetNameOffset, padded(setName, montera::kSetNameSize));
        return *this;
    }

    // A question block: the text and up to five choices, masked.
    Set5tq& question(int block, const QString& text, const QStringList& choices)
    {
        const qsizetype o = qsizetype(block) * montera::kBlockSize;
        put(o, masked(montera::cp932::encode(text), montera::kTextSize));
        for (int c = 0; c < 5; ++c)
            put(o + montera::choiceOffset(c),
                masked(montera::cp932::encode(choices.value(c)), montera::kChoiceSize));
        return *this;
    }

    // Raw bytes at an offset, as stored.
    Set5tq& put(qsizetype offset, const QByteArray& raw)
    {
        m_bytes.replace(offset, raw.size(), raw);
        return *this;
    }

    Set5tq& put16(qsizetype offset, int value)
    {
        m_bytes[offset] = char(value & 0xFF);
        m_bytes[offset + 1] = char((value >> 8) & 0xFF);
        return *this;
    }

    const QByteArray& bytes() const { return m_bytes; }

    // The file as it would be written: up to the end of the last used block.
    QByteArray file(int blocks) const { return m_bytes.first(qsizetype(blocks) * montera::kBlockSize); }

    static QByteArray padded(QByteArray bytes, int size)
    {
        bytes.truncate(size);
        return bytes + QByteArray(size - bytes.size(), ' ');
    }

    // Masks the text and pads it with stored blanks to the field's width.
    static QByteArray masked(const QByteArray& plain, int size)
    {
        QByteArray out;
        for (char ch : plain.first(qMin<qsizetype>(plain.size(), size)))
            out += char(static_cast<unsigned char>(ch) ^ 0x80);
        return out + QByteArray(size - out.size(), ' ');
    }

private:
    QByteArray m_bytes = QByteArray(montera::kBinaryBufferSize, '\0');
};

} // namespace testutil
