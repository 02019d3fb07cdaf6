#pragma once

#include "displaysize.h"
#include "quizshow.h"
#include "random.h"
#include "showview.h"

#include <QObject>

#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace montera {

class frmMain;

// Runs the show in the main window: draws the show's state into the window's
// controls, turns its keys and pointer events into answers and the end of the
// show, and drives the timer cycle. Lives as a child of the window.
class ShowWindow final : public QObject, public ShowView {
    Q_OBJECT
public:
    // Attaches a show to the window and runs its load handler. readSettings
    // loads the settings window hidden and reads the settings file; endShow
    // ends the process. The panel is then drawn at the display size the
    // settings name, on the window's screen.
    static ShowWindow& attach(frmMain& form, RandomSource& random, std::function<void()> readSettings,
                              QuizShow::EndShow endShow);

    QuizShow& show() { return m_show; }

    // One tick of timMain: the timer stops, pending events run, the show
    // advances, and the timer starts anew unless the show ended.
    void timMainTimer();

    void setQuestionText(const QString& text) override;
    void setQuestionNumber(const QString& text) override;
    void setQuestionTitle(const QString& text) override;
    void setChoiceText(int slot, const QString& text) override;
    void setSlotHighlighted(int slot, bool highlighted) override;
    void setSlotShowsAnswer(int slot) override;
    void setMarkVisible(Mark mark, bool visible) override;
    void setBarWidth(float twips) override;
    void setHitRate(const QString& text) override;
    void setCorrectCount(const QString& text) override;
    void setModeName(const QString& text) override;
    void parkDummyText() override;
    void setPanelVisible(bool visible) override;
    // The show places the panel as designed; at a display factor above 1 its
    // twips are the factor's times larger, so the window measures that much
    // less in them, and its places scale back up here.
    void movePanel(float leftTwips, float topTwips) override;
    QSizeF innerSizeTwips() const override;

private:
    ShowWindow(frmMain& form, RandomSource& random, QuizShow::EndShow endShow);
    void keyDown(QKeyEvent* event);
    void mouseMove(QMouseEvent* event);

    frmMain& m_form;
    QuizShow m_show;
};

} // namespace montera
