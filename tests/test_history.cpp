// The answer history's rules, on real SQLite files in a temporary folder.

#include "historystore.h"
#include "historywriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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
    void lockedFileDropsAnswersWithoutWaiting();
    void unwritableFolderRecordsNothing();
    void fullDiskDropsAnswers();

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
    QTest::addColumn<QByteArray>("bytes"); // the file's bytes, with a -wal and -shm; null: no such file
    QTest::addColumn<bool>("ours");        // a history of ours with one answer first
    QTest::addColumn<QStringList>("sql");  // then run on it
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("movedAside");
    const QStringList none;
    const int writable = int(HistoryState::Writable);
    QByteArray noise(8192, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) % 251);
    QTest::newRow("no file") << QByteArray() << false << none << writable << false;
    QTest::newRow("ours") << QByteArray() << true << none << writable << false;
    QTest::newRow("empty file") << QByteArray("") << false << none << writable << true;
    QTest::newRow("random bytes") << noise << false << none << writable << true;
    QTest::newRow("another program's database")
        << QByteArray() << false << QStringList{"CREATE TABLE notes (id INTEGER)"} << writable << true;
    QTest::newRow("another application id")
        << QByteArray() << false
        << QStringList{"PRAGMA application_id = 42", "CREATE TABLE notes (id INTEGER)"} << writable << true;
    QTest::newRow("ours, newer version")
        << QByteArray() << true
        << QStringList{QStringLiteral("PRAGMA user_version = %1").arg(HistoryStore::kSchemaVersion + 1)}
        << int(HistoryState::ReadOnly) << false;
}

void TestHistory::opening()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ours);
    QFETCH(QStringList, sql);
    QFETCH(int, state);
    QFETCH(bool, movedAside);
    if (!bytes.isNull()) {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            QFile file(m_path + QLatin1String(suffix));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(*suffix ? QByteArray() : bytes);
        }
    }
    if (ours) {
        HistoryStore first;
        first.open(m_path, HistoryAccess::ReadWrite);
        QVERIFY(first.record({answer("Q", AnswerOutcome::Right, kNow)}));
    }
    for (const QString& statement : sql)
        sqlValue(m_path, statement);
    const QByteArray before = bytesOf(m_path);

    HistoryStore store;
    QCOMPARE(int(store.open(m_path, HistoryAccess::ReadWrite)), state);
    // Moved aside with its companions, kept as it was.
    const QStringList aside = QDir(m_dir->path()).entryList({"*-damaged-*"}, QDir::Files);
    QCOMPARE(aside.size(), movedAside ? (bytes.isNull() ? 1 : 3) : 0);
    if (movedAside)
        QCOMPARE(bytesOf(m_dir->filePath(aside.first())), before);
    const bool writable = state == int(HistoryState::Writable);
    QCOMPARE(store.record({answer("Q", AnswerOutcome::Wrong, kNow)}), writable);
    QCOMPARE(store.figures("a.qiz", "Set A", kNow, 0).asked, int(ours) + int(writable));
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

    // What a draw starts from: Q1 right, wrong, right.
    for (const QuestionSummary& q : store.questionSummaries("a.qiz", "Set A")) {
        if (q.fingerprint == questionFingerprint("Q1", {"c0", "c1", "c2", "c3", "c4"}, 1)) {
            QCOMPARE(q.asked, 3);
            QCOMPARE(q.streak, 1);
            QCOMPARE(q.lastAt, today + 3 * 3600 + 1);
        }
    }
    QCOMPARE(int(store.questionSummaries("a.qiz", "Set A").size()), 4);

    // Erasing a set leaves the others, and recording goes on.
    QVERIFY(store.erase("a.qiz", QString()));
    QCOMPARE(sqlValue(m_path, "SELECT count(*) FROM answers").toInt(), 1);
    QVERIFY(store.record({answer("Q", AnswerOutcome::Right, kNow)}));
    QCOMPARE(store.figures("a.qiz", QString(), kNow, 0).asked, 1);
}

void TestHistory::questionIdentity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lastChoice");
    QTest::addColumn<int>("answerIndex");
    QTest::addColumn<int>("questions"); // after recording "Q", "c4", 1 and the row
    QTest::newRow("unchanged") << "Q"
                               << "c4" << 1 << 1;
    QTest::newRow("text edited") << "Q!"
                                 << "c4" << 1 << 2;
    QTest::newRow("a choice edited") << "Q"
                                     << "c4!" << 1 << 2;
    QTest::newRow("answer changed") << "Q"
                                    << "c4" << 2 << 2;
}

void TestHistory::questionIdentity()
{
    QFETCH(QString, text);
    QFETCH(QString, lastChoice);
    QFETCH(int, answerIndex);
    QFETCH(int, questions);
    HistoryStore store;
    store.open(m_path, HistoryAccess::ReadWrite);
    AnswerRecord again = answer(text, AnswerOutcome::Wrong, kNow, answerIndex);
    again.choices[4] = lastChoice;
    QVERIFY(store.record({answer("Q", AnswerOutcome::Wrong, kNow), again}));
    QCOMPARE(int(store.figures("a.qiz", "Set A", kNow, 0).mostMissed.size()), questions);
}

void TestHistory::lockedFileDropsAnswersWithoutWaiting()
{
    {
        HistoryStore created;
        created.open(m_path, HistoryAccess::ReadWrite);
    }
    HistoryWriter writer(m_path, makeHistoryStore);
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
    HistoryWriter writer(QDir(folder).filePath(kHistoryFileName), makeHistoryStore);
    writer.start();
    for (int i = 0; i < 3; ++i)
        writer.post(answer("Q", AnswerOutcome::Right, kNow));
    QVERIFY(writer.finish(std::chrono::milliseconds(1000)));
    QCOMPARE(writer.committed(), 0);
    QCOMPARE(writer.dropped(), 3);
    QVERIFY(!QFile::exists(folder + "/" + kHistoryFileName));
    // A show answering on and on says so once.
    QProcess show;
    show.start(QStringLiteral(MONTERA_HISTORY_WRITER), {QDir(folder).filePath(kHistoryFileName), "0"});
    QVERIFY(show.waitForReadyRead(10000));
    QTest::qWait(300);
    show.kill();
    show.waitForFinished();
    QCOMPARE(show.readAllStandardError().count('\n'), 1);
    QFile::setPermissions(m_dir->filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestHistory::fullDiskDropsAnswers()
{
    // A file system of its own, small enough to fill.
    const QString folder = m_dir->filePath("small");
    QVERIFY(QDir().mkdir(folder));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=96k", "tmpfs", folder}) != 0)
        QSKIP("no small file system can be mounted here (it needs root)");
    const auto unmount = qScopeGuard([&folder] { QProcess::execute("umount", {folder}); });
    const QString path = QDir(folder).filePath(kHistoryFileName);
    {
        HistoryWriter writer(path, makeHistoryStore);
        writer.start();
        writer.post(answer("Q", AnswerOutcome::Right, kNow));
        QTRY_COMPARE(writer.committed(), 1);
        for (int i = 0; i < 2000; ++i)
            writer.post(answer(QStringLiteral("Q%1 ").arg(i).repeated(20), AnswerOutcome::Wrong, kNow));
        QVERIFY(writer.finish(std::chrono::milliseconds(10000)));
        QVERIFY(writer.dropped() > 0);
    }
    // What was committed before stays, whole.
    QCOMPARE(sqlValue(path, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QVERIFY(sqlValue(path, "SELECT count(*) FROM answers").toInt() >= 1);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
