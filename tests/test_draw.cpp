#include "historystore.h"
#include "questiondraw.h"
#include "scriptedrandom.h"

#include <QTemporaryDir>
#include <QTest>

using namespace montera;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kHour = 3600;

// Answers of a question, as letters: R right, W wrong with the answer shown,
// H wrong with it hidden, T timed out with it shown, A abandoned. The last
// letter of each question is an hour before now, each one before an hour
// earlier.
AnswerOutcome outcomeOf(QChar c)
{
    return c == u'R'   ? AnswerOutcome::Right
           : c == u'T' ? AnswerOutcome::TimedOut
           : c == u'A' ? AnswerOutcome::Abandoned
                       : AnswerOutcome::Wrong;
}

AnswerRecord record(int question, QChar how, std::int64_t at)
{
    AnswerRecord a;
    a.setFile = QStringLiteral("set.qiz");
    a.setTitle = QStringLiteral("Set");
    a.questionText = QStringLiteral("Q%1").arg(question);
    a.choices = {"a", "b", "c", "d", "e"};
    a.outcome = outcomeOf(how);
    a.answerShown = how == u'W' || how == u'T';
    a.answeredAt = at;
    return a;
}

QuestionKey keyOf(int question)
{
    const AnswerRecord a = record(question, u'R', 0);
    return {a.questionText, a.choices, a.answerIndex};
}

} // namespace

// The memory-aware draw's rules, on summaries read from a real history file.
class TestDraw : public QObject {
    Q_OBJECT
private slots:
    void init();
    void summaryAsTheStoreKeepsIt_data();
    void summaryAsTheStoreKeepsIt();
    void picks_data();
    void picks();
    void plainDrawUntilLoaded();
    void neverTwiceInAShow();

private:
    // Records each question's answers, the i-th letter i hours before now,
    // and loads the summaries of questions 0 to count - 1.
    std::vector<QuestionSummary> history(const QStringList& answers, int count);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDraw::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

std::vector<QuestionSummary> TestDraw::history(const QStringList& answers, int count)
{
    HistoryStore store;
    if (store.open(m_dir->filePath("history.db"), HistoryAccess::ReadWrite) != HistoryState::Writable)
        return {};
    std::vector<AnswerRecord> records;
    for (int q = 0; q < answers.size(); ++q) {
        const QString& letters = answers[q];
        for (qsizetype i = 0; i < letters.size(); ++i)
            records.push_back(record(q, letters[i], kNow - (letters.size() - i) * kHour));
    }
    store.record(records);
    std::vector<QuestionKey> keys;
    for (int q = 0; q < count; ++q)
        keys.push_back(keyOf(q));
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
        const AnswerRecord a = record(0, answers[i], kNow - (answers.size() - i) * kHour);
        addToSummary(expected, a.outcome, a.answerShown, a.answeredAt);
    }
    const QuestionSummary& s = stored[0];
    QCOMPARE(s.asked, expected.asked);
    QCOMPARE(s.right, expected.right);
    QCOMPARE(s.streak, expected.streak);
    QCOMPARE(s.lapses, expected.lapses);
    QCOMPARE(s.learnedAt, expected.learnedAt);
    QCOMPARE(s.lastAt, expected.lastAt);
    QCOMPARE(s.lastOutcome, expected.lastOutcome);
}

void TestDraw::picks_data()
{
    QTest::addColumn<QStringList>("answers"); // by question; empty: new
    QTest::addColumn<int>("count");           // questions in the set
    QTest::addColumn<QList<int>>("expected"); // the first picks
    // Right an hour ago is not due; a miss an hour ago is.
    QTest::newRow("due, then new, then the weakest") << QStringList{"R", "W", ""} << 3 << QList<int>{1, 2, 0};
    // Of two due, the one just below the target first; the long forgotten
    // one can wait.
    QTest::newRow("the one nearest the target first")
        << QStringList{"WH", "W", "WRRR"} << 3 << QList<int>{1, 0, 2};
    QTest::newRow("a hidden miss is due at once")
        << QStringList{"RR", "RH", "RRR"} << 3 << QList<int>{1, 0, 2};
    QTest::newRow("a hidden miss before a new one") << QStringList{"", "H"} << 2 << QList<int>{1, 0};
    QTest::newRow("none due: the weakest first") << QStringList{"RRR", "RR", "R"} << 3 << QList<int>{2, 1, 0};
    // Three right answers since a miss each; only the second had been
    // learned before its miss, and grows more slowly since.
    QTest::newRow("a question forgotten before is weaker")
        << QStringList{"WRRR", "RWRRR"} << 2 << QList<int>{1, 0};
    // A question the history does not know (edited, or added) is new.
    QTest::newRow("unknown questions are new") << QStringList{"W"} << 2 << QList<int>{0, 1};
}

void TestDraw::picks()
{
    QFETCH(QStringList, answers);
    QFETCH(int, count);
    QFETCH(QList<int>, expected);
    QuestionDraw draw;
    draw.begin(count - 1, DrawMode::Memory);
    draw.load(history(answers, count));
    QVERIFY(draw.usesMemory());
    ScriptedRandom random;
    QList<int> picked;
    for (qsizetype i = 0; i < expected.size(); ++i)
        picked << draw.pick(random, count - 1, kNow);
    QCOMPARE(picked, expected);
}

void TestDraw::plainDrawUntilLoaded()
{
    // Before the history comes, with LEARN off, and when the history cannot
    // be opened: one value, times the last index, rounded half to even.
    for (const bool loadIt : {false, true}) {
        for (const DrawMode mode : {DrawMode::Memory, DrawMode::Random}) {
            if (mode == DrawMode::Memory && loadIt)
                continue;
            QuestionDraw draw;
            draw.begin(4, mode);
            if (loadIt)
                draw.load(history({"W", "W", "W", "W", "W"}, 5));
            ScriptedRandom random({0.125f, 0.375f, 0.99f});
            QCOMPARE(draw.pick(random, 4, kNow), 0); // 0.5 rounds to 0
            QCOMPARE(draw.pick(random, 4, kNow), 2); // 1.5 rounds to 2
            QCOMPARE(draw.pick(random, 4, kNow), 4);
            QCOMPARE(random.drawn(), 3);
        }
    }
    QuestionDraw draw;
    draw.begin(4, DrawMode::Memory);
    HistoryStore unopened;
    draw.load(unopened.summaries(QStringLiteral("set.qiz"), QStringLiteral("Set"), {}));
    QVERIFY(!draw.usesMemory());
}

void TestDraw::neverTwiceInAShow()
{
    // Twelve new questions: ten picks, all different. A set of three repeats
    // only once all three were asked.
    for (const int count : {12, 3}) {
        QuestionDraw draw;
        draw.begin(count - 1, DrawMode::Memory);
        draw.load(history({}, count));
        ScriptedRandom random;
        QList<int> picked;
        for (int i = 0; i < 10; ++i) {
            picked << draw.pick(random, count - 1, kNow);
            draw.judged(picked.last(), AnswerOutcome::Wrong, true, kNow);
        }
        for (int i = 0; i < 10; ++i)
            QCOMPARE(picked.count(picked[i]), count == 12 ? 1 : (i < 9 ? 3 + (picked[i] == picked[9]) : 4));
    }
}

QTEST_GUILESS_MAIN(TestDraw)
#include "test_draw.moc"
