#include "questiondraw.h"

#include "random.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace montera {

namespace {

constexpr double kSecondsPerDay = 86400.0;

} // namespace

void QuestionDraw::begin(int lastQuestion, DrawMode mode)
{
    m_last = lastQuestion < 0 ? 0 : lastQuestion;
    m_mode = mode;
    m_loaded = false;
    m_summaries.clear();
    m_pending.clear();
    m_askedInShow.assign(static_cast<size_t>(m_last) + 1, false);
    m_askedCount = 0;
}

void QuestionDraw::load(std::vector<QuestionSummary> summaries)
{
    if (m_mode != DrawMode::Memory || summaries.size() != static_cast<size_t>(m_last) + 1)
        return;
    m_summaries = std::move(summaries);
    m_loaded = true;
    for (const Judged& j : m_pending)
        addToSummary(m_summaries[static_cast<size_t>(j.question)], j.outcome, j.answerShown, j.at);
    m_pending.clear();
    m_memory.resize(m_summaries.size());
    for (size_t q = 0; q < m_summaries.size(); ++q)
        remember(static_cast<int>(q));
}

void QuestionDraw::remember(int question)
{
    const QuestionSummary& s = m_summaries[static_cast<size_t>(question)];
    Memory& m = m_memory[static_cast<size_t>(question)];
    m.isNew = s.asked == 0;
    m.learnedAt = static_cast<double>(s.learnedAt);
    // Never learned, or missed since: forgotten whatever the time.
    m.forgotten = s.learnedAt == QuestionSummary::kNever || s.lastAt > s.learnedAt;
    m.decay = 1.0 / (stability(s) * kSecondsPerDay);
}

void QuestionDraw::judged(int question, AnswerOutcome outcome, bool answerShown, std::int64_t at)
{
    if (m_mode != DrawMode::Memory || question < 0 || question > m_last)
        return;
    if (m_loaded) {
        addToSummary(m_summaries[static_cast<size_t>(question)], outcome, answerShown, at);
        remember(question);
    } else {
        m_pending.push_back({question, outcome, answerShown, at});
    }
}

int QuestionDraw::randomIndex(RandomSource& random, int lastQuestion)
{
    // The product is formed in double precision, and rounding to nearest
    // with ties to even makes the first and last index half as likely.
    return static_cast<int>(std::nearbyint(static_cast<double>(random.next()) * lastQuestion));
}

std::array<int, 5> shuffleChoices(RandomSource& random)
{
    std::array<int, 5> slotChoice{};
    std::array<bool, 5> used{};
    for (int& choice : slotChoice) {
        int d = 0;
        do {
            d = static_cast<int>(std::nearbyint(static_cast<double>(random.next()) * 4.0));
            d = std::clamp(d, 0, 4);
        } while (used[static_cast<size_t>(d)]);
        used[static_cast<size_t>(d)] = true;
        choice = d;
    }
    return slotChoice;
}

int QuestionDraw::pick(RandomSource& random, int lastQuestion, std::int64_t now)
{
    const bool memory = m_loaded && lastQuestion == m_last;
    const int q = memory ? pickFromMemory(random, now) : randomIndex(random, lastQuestion);
    if (q >= 0 && q <= m_last && !m_askedInShow[static_cast<size_t>(q)]) {
        m_askedInShow[static_cast<size_t>(q)] = true;
        ++m_askedCount;
    }
    return q;
}

double QuestionDraw::stability(const QuestionSummary& summary)
{
    // Each right answer since the last miss makes the memory last longer;
    // each earlier miss shows a question that grows more slowly than most.
    const double growth = 1.0 + (kGrowth - 1.0) / (1.0 + kLapseWeight * summary.lapses);
    return kFirstStability * std::pow(growth, summary.streak);
}

int QuestionDraw::pickFromMemory(RandomSource& random, std::int64_t now)
{
    // Once every question was asked in this show, a new round begins; a set
    // of fewer than ten questions must repeat within a show.
    if (m_askedCount > m_last) {
        m_askedInShow.assign(m_askedInShow.size(), false);
        m_askedCount = 0;
    }
    // The recall exp(-age / stability) falls as age / stability grows, so
    // the draw compares those and needs no exp.
    static const double dueAt = -std::log(kTargetRecall);
    int due = -1;
    double dueAge = std::numeric_limits<double>::infinity();
    int weakest = -1;
    double weakestAge = -1.0;
    int newCount = 0;
    const double seconds = static_cast<double>(now);
    for (int q = 0; q <= m_last; ++q) {
        if (m_askedInShow[static_cast<size_t>(q)])
            continue;
        const Memory& m = m_memory[static_cast<size_t>(q)];
        if (m.isNew) {
            ++newCount;
            continue;
        }
        const double age = m.forgotten ? std::numeric_limits<double>::infinity()
                                       : std::max(0.0, seconds - m.learnedAt) * m.decay;
        // Of the due questions, the one that passed the target last: it is
        // the likeliest to be recalled still, and a right answer makes it
        // last far longer; one long forgotten gains little from waiting less.
        if (age > dueAt && (due < 0 || age < dueAge)) {
            due = q;
            dueAge = age;
        }
        if (age > weakestAge) {
            weakest = q;
            weakestAge = age;
        }
    }
    if (due >= 0)
        return due;
    if (newCount > 0) {
        // A new question at random, so that the set's order does not decide.
        int n = std::min(newCount - 1, static_cast<int>(static_cast<double>(random.next()) * newCount));
        for (int q = 0; q <= m_last; ++q) {
            if (!m_askedInShow[static_cast<size_t>(q)] && m_memory[static_cast<size_t>(q)].isNew && n-- == 0)
                return q;
        }
    }
    return weakest >= 0 ? weakest : randomIndex(random, m_last);
}

} // namespace montera
