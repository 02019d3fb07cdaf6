#include "fakeidlesource.h"
#include "idlewatcher.h"
#include "inhibits.h"
#include "screensaverservice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace montera;
using namespace std::chrono_literals;

class TestIdle : public QObject {
    Q_OBJECT
private slots:
    void parseWait_data();
    void parseWait();
    void showEnding_data();
    void showEnding();
    void idleWhileShowRuns();
    void inhibitBookkeeping();
    void desktopOffersScreenSaver_data();
    void desktopOffersScreenSaver();
    void holds();
    void holdWhileShowRuns();

private:
    // Writes a shell script as the show; it appends a line to "starts" in the
    // folder each time it runs.
    QString writeShow(const QTemporaryDir& folder, const QByteArray& body);
};

void TestIdle::parseWait_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds"); // 0: refused

    QTest::newRow("minutes") << "10" << 600;
    QTest::newRow("seconds suffix") << "90s" << 90;
    QTest::newRow("minutes suffix") << "10m" << 600;
    QTest::newRow("shortest") << "1s" << 1;
    QTest::newRow("longest") << "1440" << 86400;
    QTest::newRow("longer than a day") << "86401s" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("fraction") << "1.5" << 0;
    QTest::newRow("hours") << "2h" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("huge") << "99999999999" << 0;
}

void TestIdle::parseWait()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    const std::optional<std::chrono::seconds> wait = parseIdleWait(text);
    QCOMPARE(wait.has_value(), seconds != 0);
    if (wait)
        QCOMPARE(wait->count(), seconds);
}

QString TestIdle::writeShow(const QTemporaryDir& folder, const QByteArray& body)
{
    const QString path = folder.filePath(QStringLiteral("montera"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\necho \"$1\" >>starts\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

static int startsIn(const QTemporaryDir& folder)
{
    QFile file(folder.filePath(QStringLiteral("starts")));
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
}

// However the show ends, or when it cannot start, the watcher waits again
// from zero and starts it at the next idle time.
void TestIdle::showEnding_data()
{
    QTest::addColumn<QByteArray>("body"); // empty: no program in the folder
    QTest::addColumn<int>("problems");

    QTest::newRow("ends well") << QByteArray("exit 0") << 0;
    QTest::newRow("ends with an error") << QByteArray("exit 3") << 1;
    QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << 1;
    QTest::newRow("missing") << QByteArray() << 1;
}

void TestIdle::showEnding()
{
    QFETCH(QByteArray, body);
    QFETCH(int, problems);
    QTemporaryDir folder;
    const QString program =
        body.isEmpty() ? folder.filePath(QStringLiteral("montera")) : writeShow(folder, body);
    FakeIdleSource source;
    IdleWatcher watcher(source, {program, {QStringLiteral("/s")}, folder.path()}, 2s);
    QSignalSpy problemSpy(&watcher, &IdleWatcher::problem);
    watcher.start();
    QCOMPARE(source.lastWait, 2s);

    for (int round = 1; round <= 2; ++round) {
        emit source.idle();
        QTRY_COMPARE(source.waitsStarted, round + 1);
        QVERIFY(source.waiting);
        QCOMPARE(problemSpy.size(), round * problems);
        QCOMPARE(startsIn(folder), body.isEmpty() ? 0 : round);
    }
}

void TestIdle::idleWhileShowRuns()
{
    QTemporaryDir folder;
    FakeIdleSource source;
    IdleWatcher watcher(source, {writeShow(folder, "exec sleep 30"), {QStringLiteral("/s")}, folder.path()},
                        2s);
    watcher.start();
    emit source.idle();
    QTRY_COMPARE(startsIn(folder), 1);
    QVERIFY(!source.waiting);
    emit source.idle();
    QTest::qWait(300);
    QCOMPARE(startsIn(folder), 1);
    QVERIFY(watcher.showRunning());
}

// Only the program that made an inhibit ends it, by its cookie or by leaving.
void TestIdle::inhibitBookkeeping()
{
    InhibitRegistry registry;
    const uint32_t first = registry.add(QStringLiteral(":1.5"));
    const uint32_t second = registry.add(QStringLiteral(":1.6"));
    const uint32_t third = registry.add(QStringLiteral(":1.5"));
    QVERIFY(first != 0 && first != second && second != third && first != third);
    QCOMPARE(loggedName(QString(1000, QLatin1Char('x'))).size(), kLoggedNameLength);

    QCOMPARE(registry.release(QStringLiteral(":1.6"), first), InhibitRegistry::Release::NotTheCallers);
    QCOMPARE(registry.release(QStringLiteral(":1.5"), 4711), InhibitRegistry::Release::UnknownCookie);
    QCOMPARE(registry.releaseAll(QStringLiteral(":1.5")), 2);
    QVERIFY(registry.held());
    QCOMPARE(registry.release(QStringLiteral(":1.6"), second), InhibitRegistry::Release::Released);
    QVERIFY(!registry.held());
    QCOMPARE(registry.release(QStringLiteral(":1.6"), second), InhibitRegistry::Release::UnknownCookie);
}

void TestIdle::desktopOffersScreenSaver_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("offers");

    QTest::newRow("GNOME") << "GNOME" << true;
    QTest::newRow("Ubuntu's GNOME") << "ubuntu:GNOME" << true;
    QTest::newRow("Plasma") << "KDE" << true;
    QTest::newRow("sway") << "sway" << false;
    QTest::newRow("Xfce") << "XFCE" << false;
    QTest::newRow("a name that only contains GNOME") << "GNOME-Flashback-like" << false;
    QTest::newRow("unset") << "" << false;
}

void TestIdle::desktopOffersScreenSaver()
{
    QFETCH(QString, desktop);
    QFETCH(bool, offers);
    QCOMPARE(montera::desktopOffersScreenSaver(desktop), offers);
}

// No wait runs while any hold is in force; the last one ended starts the
// wait from zero, and an idle report that slipped through starts nothing.
void TestIdle::holds()
{
    QTemporaryDir folder;
    FakeIdleSource source;
    IdleWatcher watcher(source, {writeShow(folder, "exit 0"), {QStringLiteral("/s")}, folder.path()}, 2s);
    watcher.start();
    watcher.setHold(Hold::ProgramInhibit, true);
    watcher.setHold(Hold::DesktopLock, true);
    QVERIFY(!source.waiting);
    emit source.idle();
    watcher.setHold(Hold::ProgramInhibit, false);
    QVERIFY(!source.waiting);
    QCOMPARE(source.waitsStarted, 1);
    watcher.setHold(Hold::DesktopLock, false);
    QVERIFY(source.waiting);
    QCOMPARE(source.waitsStarted, 2);
    QTest::qWait(100);
    QCOMPARE(startsIn(folder), 0);
}

// A lock that begins over a running show leaves it alone; the next wait
// begins only when both the show and the lock have ended.
void TestIdle::holdWhileShowRuns()
{
    QTemporaryDir folder;
    FakeIdleSource source;
    IdleWatcher watcher(source, {writeShow(folder, "sleep 0.3"), {QStringLiteral("/s")}, folder.path()}, 2s);
    watcher.start();
    emit source.idle();
    QTRY_COMPARE(startsIn(folder), 1);
    watcher.setHold(Hold::GnomeLock, true);
    QVERIFY(watcher.showRunning());
    QTRY_VERIFY(!watcher.showRunning());
    QTest::qWait(50);
    QVERIFY(!source.waiting);
    watcher.setHold(Hold::GnomeLock, false);
    QVERIFY(source.waiting);
}

QTEST_GUILESS_MAIN(TestIdle)
#include "test_idle.moc"
