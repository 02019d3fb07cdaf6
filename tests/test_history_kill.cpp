// The answer history survives its writer being killed at any moment: the file
// opens, passes SQLite's integrity check, and holds every answer posted more
// than a second before the kill.

#include "historystore.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

using namespace montera;

class TestHistoryKill : public QObject {
    Q_OBJECT

private slots:
    void killedWriterLosesNothingOlderThanASecond();
};

void TestHistoryKill::killedWriterLosesNothingOlderThanASecond()
{
    constexpr int kKills = 100;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kHistoryFileName);
    QRandomGenerator random(20260814);

    for (int kill = 0; kill < kKills; ++kill) {
        const qint64 first = qint64(kill) * 1000000;
        QProcess writer;
        writer.start(QStringLiteral(MONTERA_HISTORY_WRITER), {path, QString::number(first)});
        QVERIFY(writer.waitForStarted(10000));
        // The last answer posted more than a second before the kill.
        QElapsedTimer clock;
        clock.start();
        const qint64 runFor = 1000 + random.bounded(300);
        std::vector<std::pair<qint64, qint64>> posted; // (ms since start, answer)
        while (clock.elapsed() < runFor) {
            writer.waitForReadyRead(20);
            while (writer.canReadLine())
                posted.emplace_back(clock.elapsed(), writer.readLine().trimmed().toLongLong());
        }
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        const qint64 killedAt = clock.elapsed();
        qint64 mustHave = first - 1;
        for (const auto& [at, number] : posted) {
            if (at < killedAt - 1000)
                mustHave = number;
        }

        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM answers WHERE at BETWEEN %1 AND %2")
                               .arg(first)
                               .arg(mustHave)) &&
                    q.next());
            QCOMPARE(q.value(0).toLongLong(), mustHave - first + 1);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
}

QTEST_GUILESS_MAIN(TestHistoryKill)
#include "test_history_kill.moc"
