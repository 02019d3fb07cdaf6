#pragma once

#include <QByteArray>
#include <QStringView>

namespace montera::json {

// The text as a JSON string literal in UTF-8, quotes included, with the
// standard escapes (a CR becomes \r, a NUL \u0000).
QByteArray quote(QStringView text);

} // namespace montera::json
