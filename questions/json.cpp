#include "json.h"

#include <QString>

namespace montera::json {

QByteArray quote(QStringView text)
{
    // Escaped as UTF-16 first and converted once, so that a character outside
    // the Basic Multilingual Plane keeps its two halves together.
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'"':
            out += u"\\\"";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        case u'\b':
            out += u"\\b";
            break;
        case u'\f':
            out += u"\\f";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\t':
            out += u"\\t";
            break;
        default:
            if (ch.unicode() < 0x20)
                out += QStringLiteral("\\u00") + QString::number(ch.unicode(), 16).rightJustified(2, u'0');
            else
                out += ch;
        }
    }
    out += u'"';
    return out.toUtf8();
}

} // namespace montera::json
