// Build step: decodes one of the window pictures (a palette BMP or GIF) into
// the form the program shows it from, so that the show reads no picture
// format at start. Writes, in little-endian order: "MPX8", width, height and
// the number of colours as 32-bit numbers, the colour table as ARGB values,
// then the rows of 8-bit colour indexes, each padded to a multiple of 4 bytes.
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
    const QImage image = indexed(reader.read());
    if (image.isNull()) {
        std::fprintf(stderr, "pictureblob: %s is not a picture of at most 256 colours: %s\n",
                     qPrintable(arguments.at(1)), qPrintable(reader.errorString()));
        return 1;
    }
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
    QSaveFile file(arguments.at(2));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        std::fprintf(stderr, "pictureblob: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
