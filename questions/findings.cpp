#include "findings.h"

#include "json.h"

namespace montera {

QString quotedForMessage(QStringView text)
{
    return QString::fromUtf8(json::quote(text));
}

QString linesNotRead(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 line after it is not read")
                      : QStringLiteral("%1 lines after it are not read").arg(count);
}

} // namespace montera
