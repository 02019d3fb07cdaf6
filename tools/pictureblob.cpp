// Build step: decodes one of the window pictures into the form the program
// shows it from, so that the show reads no picture format at start.
//  - A picture of at most 256 colours (the palette BMP and GIFs) becomes, in
//    little-endian order: "MPX8", width, height and the number of colours as
//    32-bit numbers, the colour table as ARGB values, then the rows of 8-bit
//    colour indexes, each padded to a multiple of 4 bytes.
//  - One of more colours (the PNGs for twice the size) becomes rows of runs
//    of one colour, in the layout forms/pictures.h describes ("MPXR").
// Usage: pictureblob PICTURE OUTPUT

#include <QCoreApplication>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>

#include <QtEndian>

#include <cstdio>

namespace {

void appendWord(QByteArray& out, quint32 value)
{
    const quint32 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// The picture with 8-bit colour indexes. A GIF decodes to 32-bit colours:
// its table is rebuilt from the colours it uses, transparency included.
QImage indexed(const QImage& picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_Indexed8)
        return picture;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage result(argb.size(), QImage::Format_Indexed8);
    QList<QRgb> colours;
    QHash<QRgb, uchar> indexes;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* target = result.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            auto found = indexes.constFind(source[x]);
            if (found == indexes.constEnd()) {
                if (colours.size() == 256)
                    return {};
                found = indexes.insert(source[x], uchar(colours.size()));
                colours.append(source[x]);
            }
            target[x] = *found;
        }
    }
    result.setColorTable(colours);
    return result;
}

QByteArray eightBit(const QImage& image)
{
    QByteArray out("MPX8");
    appendWord(out, quint32(image.width()));
    appendWord(out, quint32(image.height()));
    const QList<QRgb> colours = image.colorTable();
    appendWord(out, quint32(colours.size()));
    for (const QRgb colour : colours)
        appendWord(out, colour);
    const qsizetype rowBytes = (image.width() + 3) / 4 * 4;
    for (int y = 0; y < image.height(); ++y) {
        QByteArray row(reinterpret_cast<const char*>(image.constScanLine(y)), image.width());
        row.resize(rowBytes, '\0');
        out.append(row);
    }
    return out;
}

// The colours are stored as the program draws them: premultiplied where the
// picture has alpha, so that no paint converts them. Empty when the picture
// has more colours than a run can name.
QByteArray packed(const QImage& picture)
{
    const bool alpha = picture.hasAlphaChannel();
    const QImage image =
        picture.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QList<QRgb> colours;
    QHash<QRgb, quint32> indexes;
    QList<quint32> rows{0};
    QList<quint32> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            int length = 1;
            while (x + length < image.width() && pixels[x + length] == pixels[x] && length < 0xFFFF)
                ++length;
            auto found = indexes.constFind(pixels[x]);
            if (found == indexes.constEnd()) {
                if (colours.size() == 0x10000)
                    return {};
                found = indexes.insert(pixels[x], quint32(colours.size()));
                colours.append(pixels[x]);
            }
            runs.append(quint32(length) | *found << 16);
            x += length;
        }
        rows.append(quint32(runs.size()));
    }
    QByteArray out("MPXR");
    appendWord(out, quint32(image.width()));
    appendWord(out, quint32(image.height()));
    appendWord(out, quint32(colours.size()));
    appendWord(out, alpha ? 1 : 0);
    for (const QRgb colour : colours)
        appendWord(out, colour);
    for (const quint32 row : rows)
        appendWord(out, row);
    for (const quint32 run : runs)
        appendWord(out, run);
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: pictureblob PICTURE OUTPUT\n");
        return 2;
    }
    QImageReader reader(arguments.at(1));
    const QImage picture = reader.read();
    const QImage eight = indexed(picture);
    const QByteArray out =
        eight.isNull() ? (picture.isNull() ? QByteArray() : packed(picture)) : eightBit(eight);
    if (out.isEmpty()) {
        std::fprintf(stderr, "pictureblob: %s is not a picture of at most 65536 colours: %s\n",
                     qPrintable(arguments.at(1)), qPrintable(reader.errorString()));
        return 1;
    }
    QSaveFile file(arguments.at(2));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        std::fprintf(stderr, "pictureblob: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
