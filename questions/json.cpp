#include "json.h"

namespace montera::json {

QByteArray quote(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'"':
            out += "\\\"";
            break;
        case u'\\':
            out += "\\\\";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        default:
            if (ch.unicode() < 0x20)
                out += QByteArray("\\u00") + QByteArray::number(ch.unicode(), 16).rightJustified(2, '0');
            else
                out += QStringView(&ch, 1).toUtf8();
        }
    }
    out += '"';
    return out;
}

} // namespace montera::json
