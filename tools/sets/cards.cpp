#include "cards.h"

namespace montera::sets {

int fieldIndex(const QString& wanted, const QStringList& names, int fallback)
{
    if (wanted.isEmpty())
        return fallback;
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return number >= 1 ? number - 1 : -1;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

} // namespace montera::sets
