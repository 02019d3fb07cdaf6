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

// A colour table built from the colours a picture uses, in the order met.
class ColourTable {
public:
    explicit ColourTable(qsizetype limit)
        : m_limit(limit)
    {}
    // The colour's index, or -1 when the table is full without it.
    qsizetype indexOf(QRgb colour)
    {
        auto found = m_indexes.constFind(colour);
        if (found == m_indexes.constEnd()) {
            if (m_colours.size() == m_limit)
                return -1;
            found = m_indexes.insert(colour, m_colours.size());
            m_colours.append(colour);
        }
        return *found;
    }
    const QList<QRgb>& colours() const { return m_colours; }

private:
    qsizetype m_limit;
    QList<QRgb> m_colours;
    QHash<QRgb, qsizetype> m_indexes;
};

// The picture with 8-bit colour indexes. A GIF decodes to 32-bit colours:
// its table is rebuilt from the colours it uses, transparency included.
QImage indexed(const QImage& picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_Indexed8)
        return picture;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage result(argb.size(), QImage::Format_Indexed8);
    ColourTable table(256);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* target = result.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const qsizetype index = table.indexOf(source[x]);
            if (index < 0)
                return {};
            target[x] = uchar(index);
        }
    }
    result.setColorTable(table.colours());
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
    ColourTable table(0x10000);
    QList<quint32> rows{0};
    QList<quint32> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            int length = 1;
            while (x + length < image.width() && pixels[x + length] == pixels[x] && length < 0xFFFF)
                ++length;
            const qsizetype index = table.indexOf(pixels[x]);
            if (index < 0)
                return {};
            runs.append(quint32(length) | quint32(index) << 16);
            x += length;
        }
        rows.append(quint32(runs.size()));
    }
    QByteArray out("MPXR");
    appendWord(out, quint32(image.width()));
    appendWord(out, quint32(image.height()));
    appendWord(out, quint32(table.colours().size()));
    appendWord(out, alpha ? 1 : 0);
    for (const QRgb colour : table.colours())
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
