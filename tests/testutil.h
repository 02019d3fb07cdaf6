#pragma once

#include "codec932.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testutil {

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

// The lines as a code-page-932 file with CR LF after each.
inline QByteArray crlfText(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += montera::cp932::encode(line) + "\r\n";
    return bytes;
}

} // namespace testutil
