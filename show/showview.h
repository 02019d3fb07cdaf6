#pragma once

#include <QSizeF>
#include <QString>

namespace montera {

enum class Mark { Circle, Cross };

// What the show needs of the main window. The window implements it over its
// controls; tests implement it with a recorder. Positions and sizes are in
// twips, 15 to the pixel.
class ShowView {
public:
    virtual ~ShowView() = default;

    virtual void setQuestionText(const QString& text) = 0;   // lblDoc
    virtual void setQuestionNumber(const QString& text) = 0; // lblQNum
    virtual void setQuestionTitle(const QString& text) = 0;  // lblTitle
    virtual void setChoiceText(int slot, const QString& text) = 0;
    virtual void setSlotHighlighted(int slot, bool highlighted) = 0;
    // Marks the slot as the right answer after a miss; the next
    // setSlotHighlighted(slot, false) takes the mark away.
    virtual void setSlotShowsAnswer(int slot) = 0;
    virtual void setMarkVisible(Mark mark, bool visible) = 0;
    virtual void setBarWidth(float twips) = 0;
    virtual void setHitRate(const QString& text) = 0;      // lblCAPer
    virtual void setCorrectCount(const QString& text) = 0; // lblCANum
    virtual void setModeName(const QString& text) = 0;     // lblMode
    virtual void parkDummyText() = 0;
    virtual void setPanelVisible(bool visible) = 0;
    virtual void movePanel(float leftTwips, float topTwips) = 0;
    virtual QSizeF innerSizeTwips() const = 0;
};

} // namespace montera
