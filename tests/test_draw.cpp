#include "historystore.h"
#include "questiondraw.h"
#include "scriptedrandom.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace montera;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;

// One answer as a letter: R right, W wrong with the answer shown, H wrong
// with it hidden, T timed out with it shown, A abandoned.
AnswerRecord record(int question, QChar how, std::int64_t at)
{
    AnswerRecord a;
    a.setFile = QStringLiteral("set.qiz");
    a.setTitle = QStringLiteral("Set");
    a.questionText = QStringLiteral("Q%1").arg(question);
    a.choices = {"a", "b", "c", "d", "e"};
    a.outcome = how == u'R'   ? AnswerOutcome::Right
                : how == u'T' ? AnswerOutcome::TimedOut
                : how == u'A' ? AnswerOutcome::Abandoned
                              : AnswerOutcome::Wrong;
    a.answerShown = how == u'W' || how == u'T';
    a.answeredAt = at;
    return a;
}

} // namespace

// The memory-aware draw's rules, on summaries read from a real history file.
class TestDraw : public QObject {
    Q_OBJECT
private slots:
    void summaryAsTheStoreKeepsIt_data();
    void summaryAsTheStoreKeepsIt();
    void picks_data();
    void picks();
    void plainDrawUntilLoaded();
    void neverTwiceInAShow();
    void readsAHistoryOfVersion1();

private:
    // Records each question's answers, the last an hour before now and each
    // one before an hour earlier, and reads the summaries of questions 0 to
    // count - 1 from a new history file.
    std::vector<QuestionSummary> history(const QStringList& answers, int count);

    QTemporaryDir m_dir;
    int m_files = 0;
};

std::vector<QuestionSummary> TestDraw::history(const QStringList& answers, int count)
{
    HistoryStore store;
    store.open(m_dir.filePath(QStringLiteral("history%1.db").arg(++m_files)), HistoryAccess::ReadWrite);
    std::vector<AnswerRecord> records;
    for (int q = 0; q < answers.size(); ++q) {
        for (qsizetype i = 0; i < answers[q].size(); ++i)
            records.push_back(record(q, answers[q][i], kNow - (answers[q].size() - i) * 3600));
    }
    store.record(records);
    std::vector<QuestionKey> keys;
    for (int q = 0; q < count; ++q) {
        const AnswerRecord a = record(q, u'R', 0);
        keys.push_back({a.questionText, a.choices, a.answerIndex});
    }
    return store.summaries(QStringLiteral("set.qiz"), QStringLiteral("Set"), keys);
}

void TestDraw::summaryAsTheStoreKeepsIt_data()
{
    QTest::addColumn<QString>("answers");
    for (const char* answers : {"R", "W", "H", "A", "RRWR", "HR", "RH", "TRRT", "RRA", "WHW"})
        QTest::newRow(answers) << QString::fromLatin1(answers);
}

void TestDraw::summaryAsTheStoreKeepsIt()
{
    QFETCH(QString, answers);
    // The in-show rules and the history's SQL must agree, or a draw would see
    // one question two ways within a show.
    const std::vector<QuestionSummary> stored = history({answers}, 1);
    QCOMPARE(stored.size(), size_t(1));
    QuestionSummary expected;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const AnswerRecord a = record(0, answers[i], kNow - (answers.size() - i) * 3600);
        addToSummary(expected, a.outcome, a.answerShown, a.answeredAt);
    }
    const QuestionSummary& s = stored[0];
    QCOMPARE(QList<std::int64_t>({s.asked, s.right, s.streak, s.lapses, s.learnedAt, s.lastAt}),
             QList<std::int64_t>({expected.asked, expected.right, expected.streak, expected.lapses,
                                  expected.learnedAt, expected.lastAt}));
    QCOMPARE(s.lastOutcome, expected.lastOutcome);
}

void TestDraw::picks_data()
{
    QTest::addColumn<QStringList>("answers"); // by question; empty: new
    QTest::addColumn<QList<int>>("expected"); // the first picks, one per question
    // Right an hour ago is not due; a miss an hour ago is.
    QTest::newRow("due, then new, then the weakest") << QStringList{"R", "W", ""} << QList<int>{1, 2, 0};
    // Of two due, the one just below the target first; the long forgotten
    // one can wait.
    QTest::newRow("the one nearest the target first")
        << QStringList{"WH", "W", "WRRR"} << QList<int>{1, 0, 2};
    QTest::newRow("a hidden miss is due at once") << QStringList{"RR", "RH", "RRR"} << QList<int>{1, 0, 2};
    QTest::newRow("a hidden miss before a new one") << QStringList{"", "H"} << QList<int>{1, 0};
    QTest::newRow("none due: the weakest first") << QStringList{"RRR", "RR", "R"} << QList<int>{2, 1, 0};
    // Three right answers since a miss each; only the second had been
    // learned before its miss, and grows more slowly since.
    QTest::newRow("a question forgotten before is weaker")
        << QStringList{"WRRR", "RWRRR"} << QList<int>{1, 0};
    // A question the history does not know (edited, or added) is new.
    QTest::newRow("unknown questions are new") << QStringList{"W"} << QList<int>{0, 1};
}

void TestDraw::picks()
{
    QFETCH(QStringList, answers);
    QFETCH(QList<int>, expected);
    const int last = int(expected.size()) - 1;
    QuestionDraw draw;
    draw.begin(last, DrawMode::Memory);
    draw.load(history(answers, last + 1));
    QVERIFY(draw.usesMemory());
    ScriptedRandom random;
    QList<int> picked;
    while (picked.size() < expected.size())
        picked << draw.pick(random, last, kNow);
    QCOMPARE(picked, expected);
}

void TestDraw::plainDrawUntilLoaded()
{
    // Before the history comes, and with LEARN off whatever it holds: one
    // value, times the last index, rounded half to even.
    for (const DrawMode mode : {DrawMode::Memory, DrawMode::Random}) {
        QuestionDraw draw;
        draw.begin(4, mode);
        if (mode == DrawMode::Random)
            draw.load(history({"W", "W", "W", "W", "W"}, 5));
        ScriptedRandom random({0.125f, 0.375f, 0.99f});
        QCOMPARE(
            QList<int>({draw.pick(random, 4, kNow), draw.pick(random, 4, kNow), draw.pick(random, 4, kNow)}),
            QList<int>({0, 2, 4}));
        QCOMPARE(random.drawn(), 3);
    }
    // A history that cannot be opened gives nothing to load.
    QuestionDraw draw;
    draw.begin(4, DrawMode::Memory);
    draw.load(HistoryStore().summaries(QStringLiteral("set.qiz"), QStringLiteral("Set"), {}));
    QVERIFY(!draw.usesMemory());
}

void TestDraw::neverTwiceInAShow()
{
    // Ten picks from twelve new questions differ; a set of three repeats
    // only once all three were asked.
    for (const int count : {12, 3}) {
        QuestionDraw draw;
        draw.begin(count - 1, DrawMode::Memory);
        draw.load(history({}, count));
        ScriptedRandom random;
        QList<int> picked;
        for (int i = 0; i < 10; ++i)
            picked << draw.pick(random, count - 1, kNow);
        for (qsizetype i = 0; i < picked.size(); ++i)
            QCOMPARE(picked.mid(i - i % count, count).count(picked[i]), 1); // once a round
    }
}

void TestDraw::readsAHistoryOfVersion1()
{
    // Question A: missed at 10, right at 20, missed at 30; B: missed, then
    // timed out. Version 1 did not know whether an answer was shown: only
    // right answers count as learning.
    const QString path = m_dir.filePath(QStringLiteral("v1.db"));
    QVERIFY(QFile::copy(QStringLiteral(MONTERA_TEST_DATA "/history-v1.db"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    HistoryStore store;
    QCOMPARE(store.open(path, HistoryAccess::ReadWrite), HistoryState::Writable);
    std::vector<QuestionSummary> read =
        store.questionSummaries(QStringLiteral("set.qiz"), QStringLiteral("Set"));
    std::sort(read.begin(), read.end(),
              [](const auto& a, const auto& b) { return a.fingerprint < b.fingerprint; });
    QCOMPARE(read.size(), size_t(2));
    QCOMPARE(QList<std::int64_t>({read[0].asked, read[0].lapses, read[0].learnedAt, read[0].lastAt}),
             QList<std::int64_t>({3, 1, 20, 30}));
    QCOMPARE(QList<std::int64_t>({read[1].asked, read[1].lapses, read[1].learnedAt, read[1].lastAt}),
             QList<std::int64_t>({2, 0, QuestionSummary::kNever, 20}));
}

QTEST_GUILESS_MAIN(TestDraw)
#include "test_draw.moc"
