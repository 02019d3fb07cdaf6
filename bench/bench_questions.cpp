// Speed of the codec and of loading question sets.
// Run: build/bench/bench_questions

#include "bank.h"
#include "codec932.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace montera;

namespace {

// Mostly double-byte text with ASCII between, like a real question set.
QByteArray japaneseText(qsizetype size)
{
    const QByteArray line = cp932::encode(QStringLiteral("Q=日本でいちばん高い山はどれでしょう？ (Mt. 3776m) ｶﾀｶﾅ\r\n"));
    QByteArray text;
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

void BM_Decode(benchmark::State& state)
{
    const QByteArray text = japaneseText(1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::decode(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_Decode);

void BM_Encode(benchmark::State& state)
{
    const QString text = cp932::decode(japaneseText(1 << 20));
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::encode(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_Encode);

void BM_LoadQiz2048(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.qiz");
    QString text = QStringLiteral("S=ベンチマーク\r\nC=モンテラ\r\nV=1.0\r\n");
    for (int q = 0; q < kBankCapacity; ++q) {
        text += QStringLiteral("Q=問題その%1：次のうち正しいものはどれでしょうか？\r\n").arg(q);
        for (int c = 1; c <= 5; ++c)
            text += QStringLiteral("A%1=選択肢%2-%1\r\n").arg(c).arg(q);
        text += QStringLiteral("A =%1\r\n").arg(q % 5 + 1);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the set");
    file.write(cp932::encode(text));
    file.close();

    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    for (auto _ : state) {
        if (LoadQuestion(*bank, mode, path) != LoadOutcome::Ok)
            state.SkipWithError("set did not load");
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadQiz2048)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
