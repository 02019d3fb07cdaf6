#pragma once

#include <QImage>
#include <QString>

namespace montera {

// One of the window pictures in 8-bit colour, as a build step decoded it
// from the picture of the same name (":/forms/maru.px8" from maru.gif). The
// image shares the program's own bytes: it costs neither decoding nor memory
// until it is drawn. Null when the resource is missing or malformed.
QImage decodedPicture(const QString& resource);

} // namespace montera
