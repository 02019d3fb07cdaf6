#include "gifimage.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace montera {

namespace {

struct Source {
    const QByteArray& bytes;
    qsizetype read = 0;
};

int readBytes(GifFileType* file, GifByteType* into, int wanted)
{
    auto* source = static_cast<Source*>(file->UserData);
    const auto count = int(std::min<qsizetype>(wanted, source->bytes.size() - source->read));
    std::memcpy(into, source->bytes.constData() + source->read, size_t(count));
    source->read += count;
    return count;
}

struct CloseGif {
    void operator()(GifFileType* file) const { DGifCloseFile(file, nullptr); }
};

} // namespace

QImage readIndexedGif(const QByteArray& bytes)
{
    Source source{bytes};
    const std::unique_ptr<GifFileType, CloseGif> file(DGifOpen(&source, readBytes, nullptr));
    if (!file || DGifSlurp(file.get()) != GIF_OK || file->ImageCount < 1 || file->SWidth <= 0 ||
        file->SHeight <= 0)
        return {};
    const SavedImage& frame = file->SavedImages[0];
    const GifImageDesc& place = frame.ImageDesc;
    const ColorMapObject* colours = place.ColorMap ? place.ColorMap : file->SColorMap;
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(file.get(), 0, &control);

    QList<QRgb> table(256, qRgba(0, 0, 0, 0));
    for (int index = 0; colours && index < std::min(colours->ColorCount, 256); ++index) {
        const GifColorType& colour = colours->Colors[index];
        table[index] = qRgb(colour.Red, colour.Green, colour.Blue);
    }
    if (control.TransparentColor >= 0 && control.TransparentColor < 256)
        table[control.TransparentColor] = qRgba(0, 0, 0, 0);

    QImage image(file->SWidth, file->SHeight, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.setColorTable(table);
    // A picture smaller than its canvas lies on the transparent colour, or
    // else on the file's background colour.
    const int ground = control.TransparentColor >= 0 ? control.TransparentColor : file->SBackGroundColor;
    image.fill(uint(std::clamp(ground, 0, 255)));
    const QRect drawn = QRect(place.Left, place.Top, place.Width, place.Height) & image.rect();
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        const GifByteType* row = frame.RasterBits + qsizetype(y - place.Top) * place.Width;
        std::memcpy(image.scanLine(y) + drawn.left(), row + (drawn.left() - place.Left),
                    size_t(drawn.width()));
    }
    return image;
}

} // namespace montera
