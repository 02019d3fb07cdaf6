// The answer history's rules, on real SQLite files in a temporary folder.

#include "historystore.h"
#include "historywriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace montera;

namespace {

constexpr std::int64_t kDay = 86400;
// Noon (UTC) of a day, the "now" of the figures below.
constexpr std::int64_t kNow = 20000 * kDay + 12 * 3600;

AnswerRecord answer(const QString& question, AnswerOutcome outcome, std::int64_t at, int answerIndex = 1)
{
    AnswerRecord a;
    a.setFile = QStringLiteral("a.qiz");
    a.setTitle = QStringLiteral("Set A");
    a.questionText = question;
    a.choices = {"c0", "c1", "c2", "c3", "c4"};
    a.answerIndex = answerIndex;
    a.outcome = outcome;
    a.pickedSlot = outcome == AnswerOutcome::Wrong ? 3 : -1;
    a.pickedChoice = outcome == AnswerOutcome::Wrong ? 4 : -1;
    a.barTicks = outcome == AnswerOutcome::TimedOut ? 200 : 12;
    a.answeredAt = at;
    return a;
}

// Runs one statement on a connection of the test's own.
QVariant sqlValue(const QString& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return value;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void init();
    void opening_data();
    void opening();
    void figures();
    void questionIdentity_data();
    void questionIdentity();
    void erase();
    void lockedFileDropsAnswersWithoutWaiting();
    void unwritableFolderRecordsNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestHistory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(kHistoryFileName);
}

void TestHistory::opening_data()
{
    QTest::addColumn<QString>("existing"); // how the file is made before the open
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("movedAside");
    QTest::newRow("no file") << "" << int(HistoryState::Writable) << false;
    QTest::newRow("ours") << "ours" << int(HistoryState::Writable) << false;
    QTest::newRow("empty file") << "empty" << int(HistoryState::Writable) << true;
    QTest::newRow("random bytes, with -wal and -shm") << "random" << int(HistoryState::Writable) << true;
    QTest::newRow("another program's database") << "foreign" << int(HistoryState::Writable) << true;
    QTest::newRow("another application id") << "other id" << int(HistoryState::Writable) << true;
    QTest::newRow("ours, newer version") << "newer" << int(HistoryState::ReadOnly) << false;
}

void TestHistory::opening()
{
    QFETCH(QString, existing);
    QFETCH(int, state);
    QFETCH(bool, movedAside);
    if (existing == u"ours") {
        HistoryStore first;
        first.open(m_path, HistoryAccess::ReadWrite);
        QVERIFY(first.record({answer("Q", AnswerOutcome::Right, kNow)}));
    } else if (existing == u"empty") {
        QFile(m_path).open(QIODevice::WriteOnly);
    } else if (existing == u"random") {
        QByteArray noise(8192, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) % 251);
        QFile file(m_path);
        file.open(QIODevice::WriteOnly);
        file.write(noise);
        file.close();
        QFile(m_path + "-wal").open(QIODevice::WriteOnly);
        QFile(m_path + "-shm").open(QIODevice::WriteOnly);
    } else if (existing == u"foreign") {
        sqlValue(m_path, "CREATE TABLE notes (id INTEGER)");
    } else if (existing == u"other id") {
        sqlValue(m_path, "PRAGMA application_id = 42");
        sqlValue(m_path, "CREATE TABLE notes (id INTEGER)");
    } else if (existing == u"newer") {
        HistoryStore first;
        first.open(m_path, HistoryAccess::ReadWrite);
        first.record({answer("Q", AnswerOutcome::Right, kNow)});
        first.close();
        sqlValue(m_path, QStringLiteral("PRAGMA user_version = %1").arg(HistoryStore::kSchemaVersion + 1));
    }
    const QByteArray before = bytesOf(m_path);

    HistoryStore store;
    QCOMPARE(int(store.open(m_path, HistoryAccess::ReadWrite)), state);
    const QStringList aside = QDir(m_dir->path()).entryList({"*-damaged-*"}, QDir::Files);
    if (movedAside) {
        // Moved with its companions, and kept as it was.
        const QString base = aside.value(0);
        QCOMPARE(aside.size(), existing == u"random" ? 3 : 1);
        QCOMPARE(bytesOf(m_dir->filePath(base)), before);
        if (existing == u"random")
            QVERIFY(aside.contains(base + "-wal") && aside.contains(base + "-shm"));
    } else {
        QVERIFY(aside.isEmpty());
    }
    const bool writable = state == int(HistoryState::Writable);
    QCOMPARE(store.record({answer("Q", AnswerOutcome::Wrong, kNow)}), writable);
    const SetFigures figures = store.figures("a.qiz", "Set A", kNow, 0);
    QCOMPARE(figures.asked, existing == u"ours" || existing == u"newer" ? 2 - !writable : 1 - !writable);
    store.close();
    if (writable) {
        QCOMPARE(sqlValue(m_path, "PRAGMA application_id").toInt(), HistoryStore::kApplicationId);
        QCOMPARE(sqlValue(m_path, "PRAGMA user_version").toInt(), HistoryStore::kSchemaVersion);
        QCOMPARE(sqlValue(m_path, "PRAGMA journal_mode").toString(), QStringLiteral("wal"));
    } else {
        // A newer program's file is never changed.
        QCOMPARE(bytesOf(m_path), before);
    }
}

void TestHistory::figures()
{
    HistoryStore store;
    QCOMPARE(store.open(m_path, HistoryAccess::ReadWrite), HistoryState::Writable);
    // Today, 3 days ago and 10 days ago (UTC+9 days run from 15:00 UTC), and
    // one of 40 days ago that only the totals count.
    const int offset = 9 * 3600;
    const std::int64_t today = kNow;
    std::vector<AnswerRecord> answers{
        answer("Q1", AnswerOutcome::Right, today),
        answer("Q1", AnswerOutcome::Wrong, today),
        answer("Q2", AnswerOutcome::TimedOut, today),
        answer("Q2", AnswerOutcome::Abandoned, today),
        answer("Q2", AnswerOutcome::Wrong, today - 3 * kDay),
        answer("Q3", AnswerOutcome::Right, today - 3 * kDay),
        answer("Q3", AnswerOutcome::Wrong, today - 10 * kDay),
        answer("Q4", AnswerOutcome::Wrong, today - 40 * kDay, 7),
        // Past midnight in UTC+9 makes it tomorrow there, still today in UTC.
        answer("Q1", AnswerOutcome::Right, today + 3 * 3600 + 1),
    };
    AnswerRecord otherSet = answer("Q1", AnswerOutcome::Wrong, today);
    otherSet.setFile = "b.qiz";
    answers.push_back(otherSet);
    QVERIFY(store.record(answers));

    const SetFigures utc = store.figures("a.qiz", "Set A", today + 3 * 3600 + 1, 0);
    QCOMPARE(utc.asked, 8);
    QCOMPARE(utc.right, 3);
    QCOMPARE(utc.askedLast7Days, 6);
    QCOMPARE(utc.rightLast7Days, 3);
    QCOMPARE(int(utc.days.size()), 30);
    QCOMPARE(utc.days[29].asked, 4);
    QCOMPARE(utc.days[29].right, 2);
    QCOMPARE(utc.days[26].asked, 2);
    QCOMPARE(utc.days[19].asked, 1);
    QCOMPARE(utc.days[28].asked, 0);

    const SetFigures japan = store.figures("a.qiz", "Set A", today + 3 * 3600 + 1, offset);
    QCOMPARE(japan.days[29].asked, 1);
    QCOMPARE(japan.days[28].asked, 3);

    // Most missed first; a question whose answer names no choice has none.
    QCOMPARE(int(utc.mostMissed.size()), 4);
    QCOMPARE(utc.mostMissed[0].text, QStringLiteral("Q2"));
    QCOMPARE(utc.mostMissed[0].misses, 2);
    QCOMPARE(utc.mostMissed[0].answer, QStringLiteral("c1"));
    QCOMPARE(utc.mostMissed[3].text, QStringLiteral("Q4"));
    QCOMPARE(utc.mostMissed[3].answer, QString());

    // A null title takes every title of the file; another title none.
    QCOMPARE(store.figures("a.qiz", QString(), kNow, 0).asked, 8);
    QCOMPARE(store.figures("a.qiz", "Set B", kNow, 0).asked, 0);
    QCOMPARE(store.figures("b.qiz", QString(), kNow, 0).asked, 1);
}

void TestHistory::questionIdentity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("choice"); // the choice changed, or -1
    QTest::addColumn<int>("answerIndex");
    QTest::addColumn<bool>("same");
    QTest::newRow("unchanged") << "Q" << -1 << 1 << true;
    QTest::newRow("text edited") << "Q!" << -1 << 1 << false;
    QTest::newRow("a choice edited") << "Q" << 4 << 1 << false;
    QTest::newRow("answer changed") << "Q" << -1 << 2 << false;
}

void TestHistory::questionIdentity()
{
    QFETCH(QString, text);
    QFETCH(int, choice);
    QFETCH(int, answerIndex);
    QFETCH(bool, same);
    HistoryStore store;
    store.open(m_path, HistoryAccess::ReadWrite);
    QVERIFY(store.record({answer("Q", AnswerOutcome::Wrong, kNow)}));
    AnswerRecord again = answer(text, AnswerOutcome::Wrong, kNow, answerIndex);
    if (choice >= 0)
        again.choices[static_cast<size_t>(choice)] += "!";
    QVERIFY(store.record({again}));
    const SetFigures figures = store.figures("a.qiz", "Set A", kNow, 0);
    QCOMPARE(int(figures.mostMissed.size()), same ? 1 : 2);
    QCOMPARE(figures.mostMissed[0].misses, same ? 2 : 1);
}

void TestHistory::erase()
{
    HistoryStore store;
    store.open(m_path, HistoryAccess::ReadWrite);
    AnswerRecord other = answer("Q", AnswerOutcome::Right, kNow);
    other.setFile = "b.qiz";
    QVERIFY(store.record(
        {answer("Q", AnswerOutcome::Right, kNow), answer("Q", AnswerOutcome::Wrong, kNow), other}));
    QVERIFY(store.erase("a.qiz", QString()));
    QCOMPARE(store.figures("a.qiz", QString(), kNow, 0).asked, 0);
    QCOMPARE(store.figures("b.qiz", QString(), kNow, 0).asked, 1);
    QCOMPARE(sqlValue(m_path, "SELECT count(*) FROM answers").toInt(), 1);
    // Recording goes on after an erase.
    QVERIFY(store.record({answer("Q", AnswerOutcome::Right, kNow)}));
    QCOMPARE(store.figures("a.qiz", QString(), kNow, 0).asked, 1);
}

void TestHistory::lockedFileDropsAnswersWithoutWaiting()
{
    {
        HistoryStore created;
        created.open(m_path, HistoryAccess::ReadWrite);
    }
    HistoryWriter writer(m_path);
    writer.start();
    writer.post(answer("Q", AnswerOutcome::Right, kNow));
    QTRY_COMPARE(writer.committed(), 1);

    // Another program takes the write lock; a reader still reads meanwhile.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_path);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec("BEGIN IMMEDIATE"));
        QElapsedTimer posting;
        posting.start();
        writer.post(answer("Q", AnswerOutcome::Wrong, kNow));
        QVERIFY(posting.elapsed() < 20);
        QTRY_COMPARE(writer.dropped(), 1);
        HistoryStore reader;
        QCOMPARE(reader.open(m_path, HistoryAccess::ReadOnly), HistoryState::ReadOnly);
        QCOMPARE(reader.figures("a.qiz", "Set A", kNow, 0).asked, 1);
        QVERIFY(lock.exec("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    writer.post(answer("Q", AnswerOutcome::TimedOut, kNow));
    QVERIFY(writer.finish(std::chrono::milliseconds(1000)));
    QCOMPARE(writer.committed(), 2);
    HistoryStore reader;
    reader.open(m_path, HistoryAccess::ReadOnly);
    QCOMPARE(reader.figures("a.qiz", "Set A", kNow, 0).asked, 2);
}

void TestHistory::unwritableFolderRecordsNothing()
{
    QString folder = m_dir->filePath("locked");
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // Root writes any folder; a folder that does not exist fails the same way.
    if (QFileInfo(folder).isWritable())
        folder = m_dir->filePath("missing");
    HistoryWriter writer(QDir(folder).filePath(kHistoryFileName));
    writer.start();
    for (int i = 0; i < 3; ++i)
        writer.post(answer("Q", AnswerOutcome::Right, kNow));
    QVERIFY(writer.finish(std::chrono::milliseconds(1000)));
    QCOMPARE(writer.committed(), 0);
    QCOMPARE(writer.dropped(), 3);
    QVERIFY(!QFile::exists(folder + "/" + kHistoryFileName));
    QFile::setPermissions(m_dir->filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
