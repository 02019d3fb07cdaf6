#include "twips.h"

#include <algorithm>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QPalette>
#include <QWidget>

namespace montera {

QColor colorFromBgr(quint32 bgr)
{
    if (bgr & 0x80000000u) {
        // System colours: 5 is the window background, 8 the window text.
        const QPalette palette = QApplication::palette();
        switch (bgr & 0xFFu) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(bgr & 0xFFu), int((bgr >> 8) & 0xFFu), int((bgr >> 16) & 0xFFu));
}

void setBackColor(QWidget* widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colorFromBgr(bgr));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setForeColor(QWidget* widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colorFromBgr(bgr));
    widget->setPalette(palette);
}

void installFontSubstitutions()
{
    // Without these, fontconfig maps both names to a Latin face and only the
    // Japanese glyphs fall back, which changes every text's width.
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
        return true;
    }();
    Q_UNUSED(installed);
}

QString drawnFamily(const QString& designFamily)
{
    // Widgets live in the GUI thread only, so the cache needs no lock.
    static QHash<QString, QString> resolved;
    if (const auto found = resolved.constFind(designFamily); found != resolved.constEnd())
        return *found;
    installFontSubstitutions();
    QString family = designFamily;
    if (!QFontDatabase::hasFamily(designFamily)) {
        const QStringList substitutes = QFont::substitutes(designFamily);
        const auto installed = std::find_if(substitutes.begin(), substitutes.end(), [](const QString& name) {
            return QFontDatabase::hasFamily(name);
        });
        if (installed != substitutes.end())
            family = *installed;
    }
    resolved.insert(designFamily, family);
    return family;
}

} // namespace montera
