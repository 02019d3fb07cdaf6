// Plays the show's question draw against a simulated learner for a number of
// days and prints how much of the set the learner recalls a day after the
// last one: the yardstick of the memory-aware draw.
//
//   learner [--draw parts|memory] [--reveal 0|1] [--questions N] [--days D]
//           [--difficulty LO,HI] [--growth G] [--seed S] [--runs K]
//           [--trace FILE]

#include "learnermodel.h"
#include "questiondraw.h"
#include "random.h"

#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace montera;
using namespace montera::learner;

namespace {

struct Options {
    DrawMode draw = DrawMode::Random;
    Reveal reveal = Reveal::Hidden;
    int questions = 300;
    int days = 30;
    double difficultyLow = 0.5;
    double difficultyHigh = 2.0;
    double growth = 2.0;
    std::uint64_t seed = 1;
    int runs = 5;
    std::string trace;
};

// The show's random source, seeded for a run instead of from the clock.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed)
        : m_generator(static_cast<quint32>(seed))
    {}
    void seedFromClock() override {}
    float next() override { return unitFloat(m_generator); }

private:
    QRandomGenerator m_generator;
};

// The times of a day's three shows, in days after its start.
constexpr double kShowTimes[] = {0.375, 0.54, 0.83};
constexpr int kQuestionsPerShow = 10;

[[noreturn]] void usage(const char* why)
{
    std::fprintf(stderr,
                 "learner: %s\nusage: learner [--draw parts|memory] [--reveal 0|1] [--questions N] "
                 "[--days D] [--difficulty LO,HI] [--growth G] [--seed S] [--runs K] [--trace FILE]\n",
                 why);
    std::exit(2);
}

double number(const char* text)
{
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0')
        usage("not a number");
    return value;
}

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            usage("an option lacks its value");
        const char* value = argv[++i];
        if (name == "--draw") {
            if (std::strcmp(value, "parts") == 0)
                o.draw = DrawMode::Random;
            else if (std::strcmp(value, "memory") == 0)
                o.draw = DrawMode::Memory;
            else
                usage("--draw is parts or memory");
        } else if (name == "--reveal") {
            o.reveal = number(value) != 0.0 ? Reveal::Shown : Reveal::Hidden;
        } else if (name == "--questions") {
            o.questions = static_cast<int>(number(value));
        } else if (name == "--days") {
            o.days = static_cast<int>(number(value));
        } else if (name == "--difficulty") {
            const char* comma = std::strchr(value, ',');
            if (!comma)
                usage("--difficulty is LO,HI");
            o.difficultyLow = number(std::string(value, comma).c_str());
            o.difficultyHigh = number(comma + 1);
        } else if (name == "--growth") {
            o.growth = number(value);
        } else if (name == "--seed") {
            o.seed = static_cast<std::uint64_t>(std::strtoull(value, nullptr, 10));
        } else if (name == "--runs") {
            o.runs = static_cast<int>(number(value));
        } else if (name == "--trace") {
            o.trace = value;
        } else {
            usage("unknown option");
        }
    }
    if (o.questions < 1 || o.questions > 2048)
        usage("--questions is 1 to 2048");
    if (o.days < 1 || o.runs < 1)
        usage("--days and --runs are at least 1");
    // The memory draw always shows the right answer after a miss.
    if (o.draw == DrawMode::Memory)
        o.reveal = Reveal::Shown;
    return o;
}

struct RunResult {
    double score = 0.0;
    int repeats = 0;
};

RunResult run(const Options& o, std::uint64_t seed, std::FILE* trace)
{
    std::mt19937_64 learnerRandom(seed);
    SeededRandom showRandom(seed);

    std::vector<double> difficulty(static_cast<size_t>(o.questions));
    for (int q = 0; q < o.questions; ++q) {
        difficulty[static_cast<size_t>(q)] =
            o.difficultyLow + (o.difficultyHigh - o.difficultyLow) * unitDouble(learnerRandom);
        if (trace)
            std::fprintf(trace, "g %d %.17g\n", q, difficulty[static_cast<size_t>(q)]);
    }
    Learner learner(std::move(difficulty), o.growth);

    // What the history holds, by question, as the draw would load it.
    std::vector<QuestionSummary> history(static_cast<size_t>(o.questions));
    QuestionDraw draw;
    RunResult result;
    for (int day = 0; day < o.days; ++day) {
        for (const double offset : kShowTimes) {
            const double t = day + offset;
            // Seconds, exact for the three times of day.
            const auto now = static_cast<std::int64_t>(std::llround(t * 86400.0));
            draw.begin(o.questions - 1, o.draw);
            std::vector<bool> asked(static_cast<size_t>(o.questions), false);
            for (int i = 0; i < kQuestionsPerShow; ++i) {
                // The show draws its first question before the history is
                // loaded, as the program does before its first paint.
                if (i == 1)
                    draw.load(history);
                const int q = draw.pick(showRandom, o.questions - 1, now);
                // The choices' shuffle takes its values as in the show.
                [[maybe_unused]] const std::array<int, 5> order = shuffleChoices(showRandom);
                if (asked[static_cast<size_t>(q)])
                    ++result.repeats;
                asked[static_cast<size_t>(q)] = true;

                const double u = unitDouble(learnerRandom);
                const bool right = learner.answer(q, t, u, o.reveal);
                // The learner answers at bar step 20, always: the time of an
                // answer tells nothing. A wrong pick is one of the other four
                // slots; which one tells the draw nothing, but it uses a value
                // of the learner's generator.
                if (!right)
                    (void)unitDouble(learnerRandom);
                const bool shown = !right && o.reveal == Reveal::Shown;
                if (trace)
                    std::fprintf(trace, "ask %.17g %d %.17g %d %d\n", t, q, u, right ? 1 : 0, shown ? 1 : 0);
                const AnswerOutcome outcome = right ? AnswerOutcome::Right : AnswerOutcome::Wrong;
                addToSummary(history[static_cast<size_t>(q)], outcome, shown, now);
                draw.judged(q, outcome, shown, now);
                // The panel's new place.
                showRandom.next();
                showRandom.next();
            }
        }
    }
    result.score = learner.score(o.days + 1.0);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parse(argc, argv);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> trace(nullptr, std::fclose);
    if (!o.trace.empty()) {
        trace.reset(std::fopen(o.trace.c_str(), "w"));
        if (!trace)
            usage("cannot write the trace file");
    }
    double sum = 0.0;
    long repeats = 0;
    for (int k = 0; k < o.runs; ++k) {
        const RunResult r = run(o, o.seed + static_cast<std::uint64_t>(k), trace.get());
        sum += r.score;
        repeats += r.repeats;
    }
    std::printf("repeats %ld\n", repeats);
    std::printf("score %.5f\n", sum / o.runs);
    return 0;
}
