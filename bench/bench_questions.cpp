// Speed of the codec and of loading question sets.
// Run: build/bench/bench_questions

#include "bank.h"
#include "codec932.h"
#include "fileutil.h"
#include "findings.h"
#include "read5tq.h"
#include "readers.h"

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
    const QByteArray line =
        cp932::encode(QStringLiteral("Q=日本でいちばん高い山はどれでしょう？ (Mt. 3776m) ｶﾀｶﾅ\r\n"));
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

// The encoding rule alone on 1 MiB: code page 932 text (argument 0), where
// the UTF-8 test fails at once; ASCII (1), scanned whole; and UTF-8 (2),
// scanned whole as UTF-8 and then as code page 932.
void BM_DetectTextEncoding(benchmark::State& state)
{
    QByteArray text = japaneseText(1 << 20);
    if (state.range(0) == 1)
        text.fill('a');
    else if (state.range(0) == 2)
        text = cp932::decode(text).toUtf8().left(1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(detectTextEncoding(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_DetectTextEncoding)->Arg(0)->Arg(1)->Arg(2);

// The largest QIZ set, in code page 932 (argument 0) or as UTF-8 with a
// byte-order mark (argument 1).
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
    file.write(state.range(0) == 0 ? cp932::encode(text) : kUtf8Bom + text.toUtf8());
    file.close();

    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    for (auto _ : state) {
        if (LoadQuestion(*bank, mode, path) != LoadOutcome::Ok)
            state.SkipWithError("set did not load");
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadQiz2048)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A 5TX set of the given number of questions: 5 header lines and 6 lines per
// question.
QByteArray fiveTx(int questions)
{
    QString text = QStringLiteral("5TX\r\nベンチマーク\r\n\r\n題名\r\n%1\r\n").arg(questions);
    for (int q = 0; q < questions; ++q) {
        text += QStringLiteral("問題その%1：次のうち正しいものはどれでしょうか？\r\n").arg(q);
        for (int c = 1; c <= 5; ++c)
            text += QStringLiteral("選択肢%2-%1\r\n").arg(c).arg(q);
    }
    return cp932::encode(text);
}

// Loading through the loader, file reading included. Two sizes ten times
// apart show that the time grows linearly with the file.
void BM_Load5tx(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("set.5tx");
    const QByteArray bytes = fiveTx(int(state.range(0)));
    if (!writeFile(path, bytes))
        state.SkipWithError("cannot write the set");
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    for (auto _ : state) {
        if (LoadQuestion(*bank, mode, path) != LoadOutcome::Ok)
            state.SkipWithError("set did not load");
    }
    state.counters["bytes"] = double(bytes.size());
    state.counters["lines"] = double(5 + 6 * state.range(0));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Load5tx)->Arg(204)->Arg(2048)->Unit(benchmark::kMicrosecond);

// The largest 5TX set as a Linux editor saves it: UTF-8, no mark, LF alone.
void BM_Load5txUtf8(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("set.5tx");
    const QByteArray bytes =
        cp932::decode(fiveTx(kBankCapacity)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8();
    if (!writeFile(path, bytes))
        state.SkipWithError("cannot write the set");
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    LoadReport report;
    for (auto _ : state) {
        if (LoadQuestion(*bank, mode, path, &report) != LoadOutcome::Ok ||
            report.encoding != TextEncoding::Utf8)
            state.SkipWithError("set did not load as UTF-8");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Load5txUtf8)->Unit(benchmark::kMicrosecond);

// The reader alone on the text ReadTextFile gives.
void BM_Read5tx(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("set.5tx");
    QString text;
    if (!writeFile(path, fiveTx(int(state.range(0)))) || !ReadTextFile(path, text))
        state.SkipWithError("cannot prepare the set");
    auto bank = std::make_unique<QuestionBank>();
    for (auto _ : state)
        benchmark::DoNotOptimize(Read5TX(*bank, text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_Read5tx)->Arg(204)->Arg(2048)->Unit(benchmark::kMicrosecond);

// A full 5TQ file of 640,001 bytes: eight sections of 256 questions each,
// every field filled with masked text, and the rest of the file after the
// last block.
QByteArray fullFiveTq()
{
    QByteArray bytes(kBinaryBufferSize, '\0');
    const auto put = [&bytes](qsizetype offset, const QByteArray& plain, int size, bool masked) {
        for (int i = 0; i < size; ++i) {
            const char byte = i < plain.size() ? plain[i] : ' ';
            bytes[offset + i] =
                masked && i < plain.size() ? char(static_cast<unsigned char>(byte) ^ kMask) : byte;
        }
    };
    for (int s = 0; s < kSectionCount; ++s) {
        const qsizetype o = qsizetype(s) * kBlockSize;
        put(o + kSectionNameOffset, cp932::encode(QStringLiteral("第%1章").arg(s + 1)), kSectionNameSize,
            false);
        const int first = kSectionCount + s * 256;
        bytes[o + kCountOffset] = 0;
        bytes[o + kCountOffset + 1] = 1; // 256 questions
        bytes[o + kFirstBlockOffset] = char(first & 0xFF);
        bytes[o + kFirstBlockOffset + 1] = char(first >> 8);
        put(o + kSetNameOffset, cp932::encode(QStringLiteral("ベンチ集.5TQ")), kSetNameSize, false);
    }
    for (int q = 0; q < kBankCapacity; ++q) {
        const qsizetype o = qsizetype(kSectionCount + q) * kBlockSize;
        put(o,
            cp932::encode(
                QStringLiteral("問題その%1：次のうち、日本でいちばん高い山はどれでしょうか？").arg(q)),
            kTextSize, true);
        for (int c = 0; c < kChoiceCount; ++c)
            put(o + choiceOffset(c), cp932::encode(QStringLiteral("選択肢その%1の%2番").arg(q).arg(c)),
                kChoiceSize, true);
    }
    return bytes;
}

void BM_Load5tqFull(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.5tq");
    const QByteArray bytes = fullFiveTq();
    if (!writeFile(path, bytes))
        state.SkipWithError("cannot write the set");
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    for (auto _ : state) {
        if (LoadQuestion(*bank, mode, path) != LoadOutcome::Ok || bank->LastQuestion != kBankCapacity - 1)
            state.SkipWithError("set did not load");
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_Load5tqFull)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
