// The settings file survives its writer being killed at any moment.

#include "codec932.h"
#include "fileutil.h"
#include "settingsfile.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

using namespace montera;

class TestSettingsKill : public QObject {
    Q_OBJECT

private slots:
    void killedWriterLeavesOneWholeFile();
};

void TestSettingsKill::killedWriterLeavesOneWholeFile()
{
    constexpr int kKills = 200;
    const QByteArray shortContent = "[Setting]\r\nFILE=a.qiz\r\nMODE=0\r\nSIZE=0\r\nSHOWANSWER=0\r\n";
    const QByteArray longContent =
        "[Setting]\r\nFILE=" + cp932::encode(QStringLiteral("一般教養サンプル第二集.5tq")) +
        "\r\nMODE=3\r\nSIZE=0\r\nSHOWANSWER=0\r\n";
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString settingsPath = dir.filePath(kSettingsFileName);
    QRandomGenerator random(20021313);
    int seenShort = 0;
    qsizetype leftovers = 0;

    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(MONTERA_SETTINGS_WRITER), {dir.path()});
        QVERIFY(writer.waitForReadyRead(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(2000)));
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        QFile file(settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(content == shortContent || content == longContent, content.constData());
        seenShort += content == shortContent ? 1 : 0;
        // A kill between naming the new file and renaming it over the old
        // one leaves the new one behind; the next write removes it.
        QDir folder(dir.path());
        const auto entries = [&folder] {
            return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        };
        leftovers += entries().size() - 1;
        QVERIFY(WriteTextFile(settingsPath, QString::fromLatin1(shortContent)));
        QCOMPARE(entries(), QStringList{kSettingsFileName});
    }
    qInfo("%lld of %d kills left the writer's unfinished file behind", static_cast<long long>(leftovers),
          kKills);
    // Both contents were caught, so the kills did land in the middle of writing.
    QVERIFY(seenShort > 0 && seenShort < kKills);
}

QTEST_GUILESS_MAIN(TestSettingsKill)
#include "test_settings_kill.moc"
