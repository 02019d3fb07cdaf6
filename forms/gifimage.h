#pragma once

#include <QByteArray>
#include <QImage>

namespace montera {

// The first picture of a GIF as an 8-bit image (QImage::Format_Indexed8) of
// the file's canvas size, its colours as the file's colour table and its
// transparent colour, if any, at alpha 0 in that table. Qt's own reader makes
// every GIF a 32-bit image, four times the memory, and so does every pixmap.
// The table always has 256 entries, those the file lacks transparent, so that
// any index of the picture has a colour. A file that is not a GIF gives a null
// image.
QImage readIndexedGif(const QByteArray& bytes);

} // namespace montera
