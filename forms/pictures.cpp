#include "pictures.h"

#include <QResource>
#include <QtEndian>

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
