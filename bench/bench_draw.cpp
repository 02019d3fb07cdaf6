// The memory-aware draw's costs on a set of 2048 questions with 100,000
// recorded answers: reading what it needs from the history at the show's
// start (the fingerprints of the bank's questions and one query), and
// choosing one question.
// Run: build/bench/bench_draw

#include "historystore.h"
#include "questiondraw.h"
#include "random.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace montera;

constexpr int kQuestions = 2048;
constexpr int kAnswers = 100000;
const QString kSetFile = QStringLiteral("bench.qiz");
const QString kSetTitle = QStringLiteral("ベンチマーク");

struct Question {
    QString text;
    std::array<QString, 5> choices;
    int answer = 0;
};

std::vector<Question> questions()
{
    std::vector<Question> all(kQuestions);
    for (int q = 0; q < kQuestions; ++q) {
        all[q].text =
            QStringLiteral("問題 %1 の本文、ふつうの長さの一文で、二行に届くこともあります。").arg(q);
        for (int c = 0; c < 5; ++c)
            all[q].choices[c] = QStringLiteral("問題 %1 の選択肢 %2").arg(q).arg(c);
        all[q].answer = q % 5;
    }
    return all;
}

// The history file, made once: 100,000 answers over 60 days, spread over
// all but the last 48 questions, which stay new.
class History {
public:
    History()
    {
        m_path = m_dir.filePath(QStringLiteral("history.db"));
        HistoryStore store;
        store.open(m_path, HistoryAccess::ReadWrite);
        const std::vector<Question> all = questions();
        QRandomGenerator random(20021313);
        std::vector<AnswerRecord> answers;
        answers.reserve(kAnswers);
        for (int n = 0; n < kAnswers; ++n) {
            const Question& question = all[random.bounded(kQuestions - 48)];
            AnswerRecord a;
            a.setFile = kSetFile;
            a.setTitle = kSetTitle;
            a.questionText = question.text;
            a.choices = question.choices;
            a.answerIndex = question.answer;
            a.outcome = random.bounded(3) == 0 ? AnswerOutcome::Wrong : AnswerOutcome::Right;
            a.answerShown = a.outcome == AnswerOutcome::Wrong;
            a.answeredAt = now() - std::int64_t(kAnswers - n) * 60 * 86400 / kAnswers;
            answers.push_back(std::move(a));
        }
        store.record(answers);
    }
    const QString& path() const { return m_path; }
    static std::int64_t now() { return 1'800'000'000; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

History& history()
{
    static History instance;
    return instance;
}

// What the writer's thread does for the draw once the history is open.
std::vector<QuestionSummary> load(HistoryStore& store, const std::vector<Question>& bank)
{
    std::vector<QuestionKey> keys;
    keys.reserve(bank.size());
    for (const Question& q : bank)
        keys.push_back({q.text, q.choices, q.answer});
    return store.summaries(kSetFile, kSetTitle, keys);
}

void BM_LoadAtShowStart(benchmark::State& state)
{
    HistoryStore store;
    store.open(history().path(), HistoryAccess::ReadWrite);
    const std::vector<Question> bank = questions();
    for (auto _ : state) {
        std::vector<QuestionSummary> summaries = load(store, bank);
        benchmark::DoNotOptimize(summaries.data());
    }
}
BENCHMARK(BM_LoadAtShowStart)->Unit(benchmark::kMillisecond);

// The same with the history opened first, as the writer does at the start:
// its checks of the file included.
void BM_OpenAndLoad(benchmark::State& state)
{
    const std::vector<Question> bank = questions();
    for (auto _ : state) {
        HistoryStore store;
        store.open(history().path(), HistoryAccess::ReadWrite);
        std::vector<QuestionSummary> summaries = load(store, bank);
        benchmark::DoNotOptimize(summaries.data());
    }
}
BENCHMARK(BM_OpenAndLoad)->Unit(benchmark::kMillisecond);

class SeededRandom final : public RandomSource {
public:
    void seedFromClock() override {}
    float next() override { return unitFloat(m_generator); }

private:
    QRandomGenerator m_generator{7};
};

// One pick and its judged answer, shows of ten questions one after another.
void BM_Pick(benchmark::State& state)
{
    HistoryStore store;
    store.open(history().path(), HistoryAccess::ReadOnly);
    const std::vector<QuestionSummary> summaries = load(store, questions());
    QuestionDraw draw;
    draw.begin(kQuestions - 1, DrawMode::Memory);
    draw.load(summaries);
    SeededRandom random;
    std::int64_t now = History::now();
    int picks = 0;
    for (auto _ : state) {
        const int q = draw.pick(random, kQuestions - 1, now);
        draw.judged(q, (q & 1) != 0 ? AnswerOutcome::Right : AnswerOutcome::Wrong, true, now);
        benchmark::DoNotOptimize(q);
        now += 20;
        if (++picks % 10 == 0) {
            state.PauseTiming();
            draw.begin(kQuestions - 1, DrawMode::Memory);
            draw.load(summaries);
            now += 4 * 3600;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_Pick)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
