#pragma once

#include <QColor>
#include <QRect>
#include <QtGlobal>

class QWidget;

// The window designs are kept in twips, the unit in which they were drawn:
// 1440 to the inch, 15 to the device-independent pixel. Colours are kept as
// 0x00BBGGRR numbers; values with the top bit set name system colours.
namespace montera {

inline constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPixels(double twips)
{
    return qRound(twips / kTwipsPerPixel);
}

inline double pixelsToTwips(double pixels)
{
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// 0x00BBGGRR to a colour. System colours map to the widget palette's roles by
// the caller; here they are resolved against the application palette.
QColor colorFromBgr(quint32 bgr);

// Sets the colour behind a widget's contents and makes the widget paint it.
void setBackColor(QWidget* widget, quint32 bgr);

// Sets the colour of a widget's text.
void setForeColor(QWidget* widget, quint32 bgr);

// Qt font substitutions so that the design's font names find the metric-
// compatible IPA faces where the named faces are missing. Safe to call again.
void installFontSubstitutions();

// The family to ask for to draw a design font: the design's own name where that
// face is installed, otherwise the first installed substitute. Asking for a
// missing face by name would send Qt through fontconfig's sorted fallback list
// for every size and weight, a few milliseconds at each start of the show,
// only to end at the same substitute.
QString drawnFamily(const QString& designFamily);

} // namespace montera
