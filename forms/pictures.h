#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QString>

namespace montera {

// One of the window pictures in 8-bit colour, as a build step decoded it
// from the picture of the same name (":/forms/maru.px8" from maru.gif). The
// image shares the program's own bytes: it costs neither decoding nor memory
// until it is drawn. Null when the resource is missing or malformed.
QImage decodedPicture(const QString& resource);

// A picture of more colours than 8 bits hold (those made for twice the
// size), as a build step packed it: each row a list of runs of one colour
// from a table. It is read from the program's own bytes and decoded a few
// rows at a time as it is drawn, so the whole picture is never decoded at
// start nor held in memory. Little-endian 32-bit words: "MPXR", width,
// height, colours, flags (1: the colours have alpha, premultiplied), the
// colour table as ARGB values, height + 1 offsets (in runs) of the rows'
// first runs and of the end, then the runs, each a length in the low 16 bits
// and a colour index in the high 16.
class PackedPicture {
public:
    PackedPicture() = default;
    // Null when the bytes are not a whole, consistent packed picture.
    explicit PackedPicture(QByteArrayView bytes);
    // Null when the resource is missing, compressed or malformed.
    static PackedPicture fromResource(const QString& resource);

    bool isNull() const { return m_runs == nullptr; }
    QSize size() const { return {m_width, m_height}; }
    // ARGB32_Premultiplied for a picture with alpha, RGB32 for an opaque one.
    QImage::Format format() const { return m_format; }

    // Decodes the part `area` of the picture (clipped to it) into the top left
    // of `target`, which is made anew only when it is too small or of another
    // format, so that drawing band after band reuses one buffer.
    void decode(const QRect& area, QImage& target) const;
    // The whole picture, decoded.
    QImage toImage() const;

private:
    // Into the packed bytes, which may lie at any alignment.
    const uchar* m_table = nullptr;
    const uchar* m_rows = nullptr;
    const uchar* m_runs = nullptr;
    int m_width = 0;
    int m_height = 0;
    quint32 m_colours = 0;
    QImage::Format m_format = QImage::Format_Invalid;
};

} // namespace montera
