#pragma once

#include "historystore.h"

#include <array>
#include <cstdint>
#include <vector>

namespace montera {

class RandomSource;

// Whether the draw may ask again what the viewer is about to forget (the
// LEARN setting), or always draws at random.
enum class DrawMode : std::int8_t { Random = 0, Memory = 1 };

// Picks the show's questions. Until the history is loaded, and always in the
// Random mode, it is the plain draw: one random value, times the last index,
// rounded. Once loaded in the Memory mode it asks first a question whose
// estimated recall has fallen below the target (of several, the one that
// fell below it last), then a new one, then the one it expects to be
// remembered least, and never one question twice in a show while others are
// left.
//
// Times are seconds since 1970 (UTC), from the clock the show passes in.
class QuestionDraw {
public:
    // The recall below which a learned question is due again.
    static constexpr double kTargetRecall = 0.9;
    // The estimated stability, in days, of a question just learned or
    // relearned after a miss, and its growth with each right answer since.
    // The growth shrinks with the question's earlier misses: a question
    // forgotten before is forgotten sooner than most. The figures are those
    // that did best on bench/learner over a range of learners.
    static constexpr double kFirstStability = 0.3;
    static constexpr double kGrowth = 4.0;
    static constexpr double kLapseWeight = 1.0;

    // A show over a bank whose last index is lastQuestion; nothing loaded.
    void begin(int lastQuestion, DrawMode mode);

    // The history of the bank's questions as it was at the show's start, by
    // bank index; the answers already judged in this show are added on top.
    // Ignored in the Random mode or when the count does not fit the bank.
    void load(std::vector<QuestionSummary> summaries);
    bool usesMemory() const { return m_loaded; }

    // A question of the show was judged at the time given.
    void judged(int question, AnswerOutcome outcome, bool answerShown, std::int64_t at);

    // The next question's bank index, from 0 to lastQuestion. A bank other
    // than the one the show began with gets the plain draw.
    int pick(RandomSource& random, int lastQuestion, std::int64_t now);
    bool wantsHistory() const { return m_mode == DrawMode::Memory; }

    // The plain draw: r times the last index, rounded half to even.
    static int randomIndex(RandomSource& random, int lastQuestion);

    // The estimated stability in days: the recall of a question learned t
    // days ago is estimated as exp(-t / stability).
    static double stability(const QuestionSummary& summary);

private:
    struct Judged {
        int question = 0;
        AnswerOutcome outcome = AnswerOutcome::Abandoned;
        bool answerShown = false;
        std::int64_t at = 0;
    };

    // What the pick reads of a question, kept from its summary: whether it is
    // new or forgotten, when it was learned and how fast its recall fades
    // (per second).
    struct Memory {
        bool isNew = true;
        bool forgotten = false;
        double learnedAt = 0.0;
        double decay = 0.0;
    };

    int pickFromMemory(RandomSource& random, std::int64_t now);
    void remember(int question);

    int m_last = 0;
    DrawMode m_mode = DrawMode::Random;
    bool m_loaded = false;
    std::vector<QuestionSummary> m_summaries;
    std::vector<Memory> m_memory;
    // The answers of this show, kept until the history is loaded.
    std::vector<Judged> m_pending;
    // Whether each question was asked in this show, and how many were.
    std::vector<bool> m_askedInShow;
    int m_askedCount = 0;
};

// The choice numbers the five slots show, slot 0 first: each slot draws r
// times 4, rounded half to even, again until it gets a choice not yet used.
// The first and last choice thus land in the top slot less often.
std::array<int, 5> shuffleChoices(RandomSource& random);

} // namespace montera
