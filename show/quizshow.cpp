#include "quizshow.h"

#include "bank.h"
#include "globals.h"
#include "random.h"

#include <QDateTime>

#include <array>
#include <cmath>

namespace montera {

namespace {

// Rounds to the nearest integer, a tie going to the even one.
std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}

} // namespace

QuizShow::QuizShow(QuestionBank& bank, Settings& settings, ShowView& view, RandomSource& random,
                   EndShow endShow)
    : m_bank(bank)
    , m_settings(settings)
    , m_view(view)
    , m_random(random)
    , m_endShow(std::move(endShow))
{}

QString QuizShow::hitRateText(std::int64_t correct, std::int64_t asked)
{
    if (asked <= 0)
        return QStringLiteral("0 %");
    return QString::number(roundHalfEven(static_cast<double>(correct * 100) / static_cast<double>(asked))) +
           QStringLiteral(" %");
}

QString QuizShow::modeName(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("通常モード");
    case 1:
        return QStringLiteral("勉強モード");
    case 2:
        return QStringLiteral("受験モード");
    case 3:
        return QStringLiteral("鬼モード");
    default:
        return QString();
    }
}

float QuizShow::barWidth(int barTicks)
{
    return static_cast<float>(kBarFullWidthTwips - kBarFullWidthTwips / kBarSteps * barTicks);
}

void QuizShow::FormLoad(const std::function<void()>& readSettings)
{
    m_view.parkDummyText();
    m_random.seedFromClock();
    m_mouseKnown = false;
    m_state.Phase = -1;
    m_state.CorrectCount = 0;
    m_state.AskedCount = 0;
    if (readSettings)
        readSettings();
    m_setLoaded = LoadQuestion(m_bank, m_settings.Mode, m_settings.SetPath) == LoadOutcome::Ok;
    // The study, exam and oni modes end only on right answers and ignore the
    // pointer; a bank without a single right choice could never end there.
    if (!hasRightChoice(m_bank))
        m_settings.Mode = 0;
    m_draw.begin(qBound(0, m_bank.LastQuestion, kBankCapacity - 1),
                 m_setLoaded && m_settings.Learn ? DrawMode::Memory : DrawMode::Random);
    ShowQuestion();
    m_view.setCorrectCount(QString::number(m_state.CorrectCount));
    const QString name = modeName(m_settings.Mode);
    if (!name.isEmpty())
        m_view.setModeName(name);
}

void QuizShow::ShowQuestion()
{
    const int last = qBound(0, m_bank.LastQuestion, kBankCapacity - 1);
    // The clock is read only when the draw uses the history.
    const int q = qBound(0, m_draw.pick(m_random, last, m_draw.usesMemory() ? now() : 0), last);

    m_view.setQuestionText(displayText(m_bank.QuestionText[q]));
    m_view.setQuestionNumber(QStringLiteral("問題No / 問題数 : %1 / %2").arg(q + 1).arg(last + 1));
    HighlightChoice(-1);
    ShowMark(-1, 0);
    ShowMark(0, 0);

    const std::array<int, kChoiceCount> slotChoice = shuffleChoices(m_random);
    m_slotChoice = slotChoice;
    // An answer number outside 0 to 4 names no slot: every pick is wrong.
    m_state.CorrectSlot = kNoSlot;
    for (int slot = 0; slot < kChoiceCount; ++slot) {
        if (slotChoice[static_cast<size_t>(slot)] == m_bank.AnswerIndex[q])
            m_state.CorrectSlot = slot;
    }

    m_question = q;
    m_answerShown = false;
    m_view.setQuestionTitle(displayText(m_bank.QuestionTitle[q]));
    for (int slot = 0; slot < kChoiceCount; ++slot)
        m_view.setChoiceText(slot, displayText(m_bank.Choices[q][slotChoice[static_cast<size_t>(slot)]]));
    ++m_state.AskedCount;
}

void QuizShow::HighlightChoice(int slot)
{
    if (slot >= 0 && slot < kChoiceCount) {
        m_view.setSlotHighlighted(slot, true);
        return;
    }
    for (int i = 0; i < kChoiceCount; ++i)
        m_view.setSlotHighlighted(i, false);
}

void QuizShow::ShowMark(int right, int visible)
{
    m_view.setMarkVisible(right == -1 ? Mark::Circle : Mark::Cross, visible != 0);
}

void QuizShow::writeHitRate()
{
    m_view.setHitRate(hitRateText(m_state.CorrectCount, m_state.AskedCount));
}

std::int64_t QuizShow::now() const
{
    return m_clock ? m_clock() : QDateTime::currentSecsSinceEpoch();
}

void QuizShow::recordEnd(QuestionEnd end, int pickedSlot, int barTicks)
{
    if (!m_setLoaded)
        return;
    const std::int64_t at = now();
    m_draw.judged(m_question, static_cast<AnswerOutcome>(end), m_answerShown, at);
    if (!m_answerSink)
        return;
    AskedQuestion asked;
    asked.question = m_question;
    asked.end = end;
    if (end == QuestionEnd::Wrong && pickedSlot >= 0 && pickedSlot < kChoiceCount) {
        asked.pickedSlot = pickedSlot;
        asked.pickedChoice = m_slotChoice[static_cast<size_t>(pickedSlot)];
    }
    asked.barTicks = barTicks;
    asked.mode = m_settings.Mode;
    asked.answerShown = m_answerShown;
    asked.answeredAt = at;
    m_answerSink(asked);
}

void QuizShow::showRightSlot()
{
    // The memory-aware draw counts on a miss teaching the right answer.
    if ((m_settings.ShowAnswer || m_settings.Learn) && m_state.CorrectSlot != kNoSlot) {
        m_view.setSlotShowsAnswer(m_state.CorrectSlot);
        m_answerShown = true;
    }
}

void QuizShow::endShow()
{
    // A question still on screen without an answer ends with the show.
    if (!m_ended && m_state.Phase < 0)
        recordEnd(QuestionEnd::Abandoned, -1, m_state.BarTicks);
    m_ended = true;
    if (m_endShow)
        m_endShow();
}

void QuizShow::TimerTick()
{
    if (m_ended)
        return;
    if (m_state.Phase < 0) {
        if (m_state.TickDivider <= 0) {
            ++m_state.TickDivider;
            return;
        }
        m_state.TickDivider = 0;
        m_view.setBarWidth(barWidth(m_state.BarTicks));
        if (m_state.BarTicks < kBarSteps) {
            ++m_state.BarTicks;
            return;
        }
        // Time is up: an unanswered question counts as asked and not right.
        ShowMark(0, -1);
        showRightSlot();
        writeHitRate();
        recordEnd(QuestionEnd::TimedOut, -1, kBarSteps);
        m_state.BarTicks = 0;
        m_state.Phase = 0;
    } else if (m_state.Phase <= kLastResultPhase) {
        ++m_state.Phase;
    } else {
        const int mode = m_settings.Mode;
        const std::int64_t correct = m_state.CorrectCount;
        if ((mode == 1 && correct >= 1) || (mode == 2 && correct >= 5) || (mode == 3 && correct >= 10)) {
            endShow();
            return;
        }
        m_state.Phase = -1;
        ShowQuestion();
        PlaceQuestion();
    }
}

void QuizShow::JudgeAnswer(int slot)
{
    if (slot == m_state.CorrectSlot) {
        ShowMark(-1, -1);
        ++m_state.CorrectCount;
        m_view.setCorrectCount(QString::number(m_state.CorrectCount));
    } else {
        ShowMark(0, -1);
        showRightSlot();
    }
    writeHitRate();
}

void QuizShow::PlaceQuestion()
{
    const QSizeF inner = m_view.innerSizeTwips();
    m_view.setPanelVisible(false);
    const float top = (static_cast<float>(inner.height()) - kPanelHeightTwips) * m_random.next();
    const float left = (static_cast<float>(inner.width()) - kPanelWidthTwips) * m_random.next();
    m_view.movePanel(left, top);
    m_view.setPanelVisible(true);
}

void QuizShow::FormKeyDown(int keyCode)
{
    if (m_ended || m_state.Phase != -1)
        return;
    int slot = -1;
    if (keyCode >= 49 && keyCode <= 53)
        slot = keyCode - 49; // main keyboard 1 to 5
    else if (keyCode >= 97 && keyCode <= 101)
        slot = keyCode - 97; // keypad 1 to 5
    else
        return;
    const int ticks = m_state.BarTicks;
    m_state.BarTicks = 0;
    m_state.Phase = 0;
    HighlightChoice(slot);
    JudgeAnswer(slot);
    recordEnd(slot == m_state.CorrectSlot ? QuestionEnd::Right : QuestionEnd::Wrong, slot, ticks);
}

void QuizShow::FormMouseDown()
{
    if (!m_ended && m_settings.Mode == 0)
        endShow();
}

void QuizShow::FormMouseMove(float x, float y)
{
    if (m_ended || m_settings.Mode != 0)
        return;
    const float dx = std::fabs(m_lastMouseX - x);
    const float dy = std::fabs(m_lastMouseY - y);
    const bool moved = dx > 8.0f || dy > 8.0f;
    if (moved && m_mouseKnown) {
        endShow();
        return;
    }
    // The first event, and every one below the threshold, only records the
    // position, so a slow drift never ends the show.
    m_lastMouseX = x;
    m_lastMouseY = y;
    m_mouseKnown = true;
}

QString displayText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == u'\n' || ch == u'\t' || (ch.unicode() >= 0x20 && ch.unicode() != 0x7F))
            shown += ch;
    }
    return shown;
}

} // namespace montera
