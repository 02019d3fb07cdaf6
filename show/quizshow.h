#pragma once

#include "bank.h"
#include "questiondraw.h"
#include "showview.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace montera {

struct QuestionBank;
struct Settings;
class RandomSource;

// Geometry of the panel and the time bar, in twips.
inline constexpr float kPanelWidthTwips = 9615.0f;
inline constexpr float kPanelHeightTwips = 7335.0f;
inline constexpr double kBarFullWidthTwips = 9135.0;
inline constexpr int kBarSteps = 200;
// The result of a question stays on screen while Phase counts up to this.
inline constexpr int kLastResultPhase = 20;
// CorrectSlot of a question whose answer number no slot shows.
inline constexpr int kNoSlot = -1;

// The state of one show. Phase is -1 while a question is open, 0 to 20 while
// its result is on display and 21 when the next question is due. The counts
// are wide so that a show left running for days neither overflows nor goes
// wrong; within the 16-bit range every result is the same as with 16 bits.
struct ShowState {
    int Phase = 0;
    int BarTicks = 0;
    int TickDivider = 0;
    // The slot that shows the right answer, or kNoSlot.
    int CorrectSlot = 0;
    std::int64_t AskedCount = 0;
    std::int64_t CorrectCount = 0;
};

// How an asked question ended, as the show hands it to the answer history.
// The numbers are those of the history's AnswerOutcome.
enum class QuestionEnd : std::int8_t { Right = 0, Wrong = 1, TimedOut = 2, Abandoned = 3 };

struct AskedQuestion {
    // The question's entry in the bank.
    int question = 0;
    QuestionEnd end = QuestionEnd::Abandoned;
    // On a wrong answer, the slot picked and the choice it showed; else -1.
    int pickedSlot = -1;
    int pickedChoice = -1;
    // The time bar's steps made before the answer; kBarSteps on a time-out.
    int barTicks = 0;
    int mode = 0;
    // Whether a miss had the right choice marked.
    bool answerShown = false;
    // The show's clock when the question ended, in seconds since 1970 (UTC).
    std::int64_t answeredAt = 0;
};

// The full-screen quiz: question draw and display, the timer cycle, answers
// and the end of the show. It knows the window only through ShowView, so it
// runs the same on a screen and in tests.
class QuizShow {
public:
    using EndShow = std::function<void()>;
    // Receives every question of a loaded set once it has ended, the one
    // still open when the show ends included; never the error entry.
    using AnswerSink = std::function<void(const AskedQuestion&)>;

    QuizShow(QuestionBank& bank, Settings& settings, ShowView& view, RandomSource& random, EndShow endShow);

    void setAnswerSink(AnswerSink sink) { m_answerSink = std::move(sink); }

    // Seconds since 1970 (UTC): the draw's time and the answers' stamp.
    using Clock = std::function<std::int64_t()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Whether the draw asks for the history of the set: with LEARN on and a
    // set loaded. Until it gets it, the draw is the plain one.
    bool wantsHistory() const { return m_draw.wantsHistory(); }
    // The history of the bank's questions as it was at the show's start, by
    // bank index.
    void loadHistory(std::vector<QuestionSummary> summaries) { m_draw.load(std::move(summaries)); }
    const QuestionDraw& draw() const { return m_draw; }

    // The main window's load handler. readSettings loads the settings window
    // hidden and reads the settings file into the settings; the set is then
    // loaded from the settings' SetPath.
    void FormLoad(const std::function<void()>& readSettings);

    void ShowQuestion();
    // Slot 0 to 4 turns that slot orange; any other value turns all white.
    void HighlightChoice(int slot);
    // Works on the circle when right is exactly -1 (True), on the cross for
    // any other value.
    void ShowMark(int right, int visible);
    // One tick of the show's timer, after the window has let pending events
    // run.
    void TimerTick();
    void JudgeAnswer(int slot);
    void PlaceQuestion();

    // Input of the main window: the Windows key code, and pointer positions in
    // twips of the window.
    void FormKeyDown(int keyCode);
    void FormMouseDown();
    void FormMouseMove(float x, float y);

    const ShowState& state() const { return m_state; }
    ShowState& state() { return m_state; }
    bool mouseKnown() const { return m_mouseKnown; }
    // True once EndShow was called; nothing runs after it.
    bool ended() const { return m_ended; }

    static QString hitRateText(std::int64_t correct, std::int64_t asked);
    static QString modeName(int mode);
    static float barWidth(int barTicks);

private:
    void endShow();
    void writeHitRate();
    void recordEnd(QuestionEnd end, int pickedSlot, int barTicks);
    // With the answer shown on a miss, marks the right choice's slot.
    void showRightSlot();
    std::int64_t now() const;

    QuestionBank& m_bank;
    Settings& m_settings;
    ShowView& m_view;
    RandomSource& m_random;
    EndShow m_endShow;
    ShowState m_state;
    bool m_mouseKnown = false;
    float m_lastMouseX = 0.0f;
    float m_lastMouseY = 0.0f;
    bool m_ended = false;
    AnswerSink m_answerSink;
    // Whether the bank holds a loaded set rather than the error entry.
    bool m_setLoaded = false;
    // The open question's entry and the choice each slot shows.
    int m_question = 0;
    std::array<int, kChoiceCount> m_slotChoice{};
    // Whether the open question's right choice was marked after a miss.
    bool m_answerShown = false;
    QuestionDraw m_draw;
    Clock m_clock;
};

// Displayable form of a text from a question set: a control character such as
// the CR that ends every 5TX line draws nothing. Line feeds still break lines.
QString displayText(const QString& text);

} // namespace montera
