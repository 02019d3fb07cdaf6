#include "pictures.h"

#include <QResource>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace montera {

namespace {

constexpr qsizetype kHeaderWords = 4; // magic, width, height, colours

quint32 wordAt(const uchar* data, qsizetype index)
{
    return qFromLittleEndian<quint32>(data + index * 4);
}

} // namespace

QImage decodedPicture(const QString& resource)
{
    const QResource file(resource);
    if (!file.isValid() || file.compressionAlgorithm() != QResource::NoCompression)
        return {};
    const uchar* data = file.data();
    const qint64 size = file.size();
    if (size < kHeaderWords * 4 || std::memcmp(data, "MPX8", 4) != 0)
        return {};
    const quint32 width = wordAt(data, 1);
    const quint32 height = wordAt(data, 2);
    const quint32 colours = wordAt(data, 3);
    const qint64 rowBytes = (qint64(width) + 3) / 4 * 4;
    const qint64 tableEnd = (kHeaderWords + qint64(colours)) * 4;
    if (width == 0 || height == 0 || width > 4096 || height > 4096 || colours == 0 || colours > 256 ||
        size != tableEnd + rowBytes * height)
        return {};
    QList<QRgb> table(colours);
    for (quint32 i = 0; i < colours; ++i)
        table[i] = wordAt(data, kHeaderWords + i);
    // Read-only: drawing never writes to it, so the bytes are never copied.
    QImage image(data + tableEnd, int(width), int(height), rowBytes, QImage::Format_Indexed8);
    image.setColorTable(table);
    return image;
}

} // namespace montera

namespace montera {

namespace {

constexpr qsizetype kPackedHeaderWords = 5; // magic, width, height, colours, flags
constexpr quint32 kPackedHasAlpha = 1;
constexpr quint32 kMaxPackedSide = 8192;

} // namespace

PackedPicture::PackedPicture(QByteArrayView bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    const qint64 size = bytes.size();
    if (size < kPackedHeaderWords * 4 || std::memcmp(data, "MPXR", 4) != 0)
        return;
    const quint32 width = wordAt(data, 1);
    const quint32 height = wordAt(data, 2);
    const quint32 colours = wordAt(data, 3);
    const quint32 flags = wordAt(data, 4);
    if (width == 0 || height == 0 || width > kMaxPackedSide || height > kMaxPackedSide || colours == 0 ||
        colours > 0x10000 || (flags & ~kPackedHasAlpha) != 0)
        return;
    const qint64 rowsAt = (kPackedHeaderWords + qint64(colours)) * 4;
    const qint64 runsAt = rowsAt + (qint64(height) + 1) * 4;
    if (size < runsAt)
        return;
    // The row offsets must rise from the first run to exactly the last, so
    // that every row's runs lie within the bytes. Each run's own length and
    // colour are checked as it is decoded.
    const qint64 runs = (size - runsAt) / 4;
    if ((size - runsAt) % 4 != 0 || wordAt(data + rowsAt, 0) != 0 || wordAt(data + rowsAt, height) != runs)
        return;
    for (quint32 row = 0; row < height; ++row) {
        if (wordAt(data + rowsAt, row) > wordAt(data + rowsAt, row + 1))
            return;
    }
    m_table = data + kPackedHeaderWords * 4;
    m_rows = data + rowsAt;
    m_runs = data + runsAt;
    m_width = int(width);
    m_height = int(height);
    m_colours = colours;
    m_format = (flags & kPackedHasAlpha) ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

PackedPicture PackedPicture::fromResource(const QString& resource)
{
    const QResource file(resource);
    if (!file.isValid() || file.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return PackedPicture(QByteArrayView(file.data(), file.size()));
}

void PackedPicture::decode(const QRect& area, QImage& target) const
{
    const QRect part = area & QRect(0, 0, m_width, m_height);
    if (isNull() || part.isEmpty())
        return;
    if (target.format() != m_format || target.width() < part.width() || target.height() < part.height())
        target = QImage(part.size().expandedTo(target.size()), m_format);
    // A malformed run (too long for its row, or of no colour in the table)
    // ends its row, whose rest is left transparent or black.
    const quint32 blank = m_format == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        auto* out = reinterpret_cast<quint32*>(target.scanLine(y - part.top()));
        const quint32 first = wordAt(m_rows, y);
        const quint32 end = wordAt(m_rows, y + 1);
        int x = 0;
        int written = 0;
        for (quint32 run = first; run < end && x <= part.right(); ++run) {
            const quint32 packed = wordAt(m_runs, run);
            const int length = int(packed & 0xFFFF);
            const quint32 colour = packed >> 16;
            if (colour >= m_colours || length > m_width - x)
                break;
            const int from = std::max(x, part.left());
            const int to = std::min(x + length, part.right() + 1);
            if (from < to) {
                std::fill(out + (from - part.left()), out + (to - part.left()), wordAt(m_table, colour));
                written = to - part.left();
            }
            x += length;
        }
        std::fill(out + written, out + part.width(), blank);
    }
}

QImage PackedPicture::toImage() const
{
    QImage image;
    decode(QRect(0, 0, m_width, m_height), image);
    return image;
}

} // namespace montera
