// The answer history's costs, on a history that already holds 100,000
// answers: the show thread's time per answer (median and 99th percentile),
// the time until an answer is committed, the time to commit 10,000 queued
// answers, the file's growth per 10,000 answers, and the progress window's
// opening.
// Run: build/bench/bench_history (Qt's offscreen platform unless
// QT_QPA_PLATFORM names another)

#include "historystore.h"
#include "historywriter.h"
#include "progresswindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace montera;

constexpr int kPrefilled = 100000;
// As many questions as a bank holds.
constexpr int kQuestions = 2048;
QString g_path;

AnswerRecord answerFor(int n, std::int64_t at)
{
    AnswerRecord a;
    a.setFile = QStringLiteral("bench.qiz");
    a.setTitle = QStringLiteral("ベンチマーク");
    a.questionText = QStringLiteral("問題 %1 の本文、ふつうの長さの一文です。").arg(n % kQuestions);
    a.choices = {QStringLiteral("選択肢一"), QStringLiteral("選択肢二"), QStringLiteral("選択肢三"),
                 QStringLiteral("選択肢四"), QStringLiteral("選択肢五")};
    a.answerIndex = n % 5;
    a.outcome = static_cast<AnswerOutcome>(n % 3);
    a.pickedSlot = a.outcome == AnswerOutcome::Wrong ? n % 5 : -1;
    a.pickedChoice = a.pickedSlot;
    a.barTicks = n % 200;
    a.answeredAt = at;
    return a;
}

// Makes the history of 100,000 answers, all in the last 30 days: the chart
// reads every one of them.
void prefill(const QString& path)
{
    HistoryStore store;
    store.open(path, HistoryAccess::ReadWrite);
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    std::vector<AnswerRecord> answers;
    answers.reserve(kPrefilled);
    for (int n = 0; n < kPrefilled; ++n)
        answers.push_back(answerFor(n, now - std::int64_t(kPrefilled - n) * 30 * 86400 / kPrefilled));
    store.record(answers);
}

bool waitFor(const HistoryWriter& writer, std::int64_t committed, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (writer.committed() + writer.dropped() < committed) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QThread::usleep(100);
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

// The figures alone, as the window and the stats command read them.
void BM_ReadFigures(benchmark::State& state)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        HistoryStore store;
        store.open(g_path, HistoryAccess::ReadOnly);
        benchmark::DoNotOptimize(store.figures(QStringLiteral("bench.qiz"), QStringLiteral("ベンチマーク"),
                                               now.toSecsSinceEpoch(), 0));
    }
}
BENCHMARK(BM_ReadFigures)->Unit(benchmark::kMillisecond);

// What a draw that asks missed questions sooner would read at the show's
// start: the summary of every question of the set.
void BM_ReadQuestionSummaries(benchmark::State& state)
{
    for (auto _ : state) {
        HistoryStore store;
        store.open(g_path, HistoryAccess::ReadOnly);
        benchmark::DoNotOptimize(
            store.questionSummaries(QStringLiteral("bench.qiz"), QStringLiteral("ベンチマーク")));
    }
}
BENCHMARK(BM_ReadQuestionSummaries)->Unit(benchmark::kMillisecond);

// The progress window from the click to its first paint: the figures read,
// the window laid out and painted.
void BM_OpenProgressWindow(benchmark::State& state)
{
    for (auto _ : state) {
        ProgressWindow window(g_path, QStringLiteral("bench.qiz"), QStringLiteral("ベンチマーク"));
        window.resize(640, 600);
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenProgressWindow)->Unit(benchmark::kMillisecond);

// The show's side: one post per answer, one answer every 20 µs or so, far
// faster than any show. Reports the median and the 99th percentile.
void BM_PostAnswer(benchmark::State& state)
{
    HistoryWriter writer(g_path, makeHistoryStore);
    writer.start();
    std::vector<double> micros;
    micros.reserve(20000);
    int n = 0;
    for (auto _ : state) {
        AnswerRecord answer = answerFor(n++, QDateTime::currentSecsSinceEpoch());
        const auto start = std::chrono::steady_clock::now();
        writer.post(std::move(answer));
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        QThread::usleep(20);
    }
    state.counters["p50_us"] = percentile(micros, 0.5);
    state.counters["p99_us"] = percentile(micros, 0.99);
    waitFor(writer, n, 60000);
    state.counters["dropped"] = double(writer.dropped());
}
BENCHMARK(BM_PostAnswer)->UseManualTime()->Iterations(10000)->Unit(benchmark::kMicrosecond);

// From the post of one answer to its commit, as a show posts one at a time.
void BM_CommitOneAnswer(benchmark::State& state)
{
    HistoryWriter writer(g_path, makeHistoryStore);
    writer.start();
    std::int64_t n = 0;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        writer.post(answerFor(int(n++), QDateTime::currentSecsSinceEpoch()));
        waitFor(writer, n, 10000);
        worst = std::max(worst, double(timer.nsecsElapsed()) / 1e6);
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_CommitOneAnswer)->Iterations(200)->Unit(benchmark::kMillisecond);

// 10,000 answers queued at once, until the last is committed.
void BM_Commit10000Queued(benchmark::State& state)
{
    for (auto _ : state) {
        HistoryWriter writer(g_path, makeHistoryStore);
        writer.start();
        for (int n = 0; n < 10000; ++n)
            writer.post(answerFor(n, QDateTime::currentSecsSinceEpoch()));
        waitFor(writer, 10000, 60000);
        state.counters["committed"] = double(writer.committed());
    }
}
BENCHMARK(BM_Commit10000Queued)->Iterations(3)->Unit(benchmark::kMillisecond);

// The main file's growth by 10,000 answers, every connection closed (which
// checkpoints the log into the main file).
void BM_FileGrowthPer10000(benchmark::State& state)
{
    for (auto _ : state) {
        const qint64 before = QFileInfo(g_path).size();
        {
            HistoryWriter writer(g_path, makeHistoryStore);
            writer.start();
            for (int n = 0; n < 10000; ++n)
                writer.post(answerFor(n, QDateTime::currentSecsSinceEpoch()));
        }
        state.counters["growth_KiB"] = double(QFileInfo(g_path).size() - before) / 1024.0;
    }
}
BENCHMARK(BM_FileGrowthPer10000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_path = QDir(dir.path()).filePath(kHistoryFileName);
    prefill(g_path);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
