#include "historystore.h"
#include "settingsfile.h"
#include "testutil.h"
#include "userfolders.h"

#include <QTest>

#include <unistd.h>

using namespace montera;

namespace {

enum class ProgramFolder { Writable, Missing };
// Where a set's name is found.
enum class Found { User, Bundled, Nowhere };

} // namespace

Q_DECLARE_METATYPE(ProgramFolder)
Q_DECLARE_METATYPE(Found)
Q_DECLARE_METATYPE(montera::FolderLayout)

class TestUserFolders : public QObject {
    Q_OBJECT

private slots:
    void init();
    void probe_data();
    void probe();
    void layout_data();
    void layout();
    void setPath_data();
    void setPath();
    void standardFoldersFollowXdg();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestUserFolders::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testutil::writeBytes(path("file"), "not a folder");
}

void TestUserFolders::probe_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("writable");
    QTest::newRow("writable folder") << "." << true;
    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("a file") << "file" << false;
    QTest::newRow("read-only folder") << "read-only" << false;
    // A file system that takes no new file, not even from root, which passes
    // every permission check.
    QTest::newRow("/proc") << "/proc" << false;
}

void TestUserFolders::probe()
{
    QFETCH(QString, folder);
    QFETCH(bool, writable);
    QVERIFY(QDir(m_dir->path()).mkdir("read-only"));
    QVERIFY(QFile::setPermissions(path("read-only"), QFile::ReadOwner | QFile::ExeOwner));
    if (folder == u"read-only" && geteuid() == 0)
        QSKIP("root writes into a read-only folder; the /proc row stands for it");
    if (folder.startsWith(u'/') && !QFileInfo(folder).isDir())
        QSKIP("no such file system here");
    const QStringList before =
        QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(isWritableFolder(QDir(m_dir->path()).filePath(folder)), writable);
    // The probe leaves nothing behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    QFile::setPermissions(path("read-only"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestUserFolders::layout_data()
{
    // Folders under the test's own: P the program's, C and D the installed
    // layout's config and data folders, S/sets the bundled sets the build names.
    QTest::addColumn<ProgramFolder>("program");
    QTest::addColumn<QString>("bundled");
    QTest::addColumn<FolderLayout>("expectedLayout");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("setFolders");
    QTest::addColumn<QString>("page");
    QTest::newRow("writable: all beside the program")
        << ProgramFolder::Writable << "" << FolderLayout::Portable << "P/" + kSettingsFileName
        << "P/" + kHistoryFileName << QStringList{"P"} << "P/question-sets.html";
    QTest::newRow("not writable: the user's folders")
        << ProgramFolder::Missing << "" << FolderLayout::Installed << "C/" + kSettingsFileName
        << "D/" + kHistoryFileName << QStringList{"D", "P"} << "P/question-sets.html";
    QTest::newRow("not writable, a package's sets")
        << ProgramFolder::Missing << "S/sets" << FolderLayout::Installed << "C/" + kSettingsFileName
        << "D/" + kHistoryFileName << QStringList{"D", "S/sets"} << "S/question-sets.html";
    QTest::newRow("writable, a package's sets: still the user's folders")
        << ProgramFolder::Writable << "S/sets" << FolderLayout::Installed << "C/" + kSettingsFileName
        << "D/" + kHistoryFileName << QStringList{"D", "S/sets"} << "S/question-sets.html";
}

void TestUserFolders::layout()
{
    QFETCH(ProgramFolder, program);
    QFETCH(QString, bundled);
    QFETCH(FolderLayout, expectedLayout);
    QFETCH(QString, settings);
    QFETCH(QString, history);
    QFETCH(QStringList, setFolders);
    QFETCH(QString, page);
    if (program == ProgramFolder::Writable)
        QVERIFY(QDir(m_dir->path()).mkdir("P"));
    const UserFolders folders = UserFolders::forProgram(
        path("P"), {path("C"), path("D"), bundled.isEmpty() ? QString() : path(bundled)});
    QCOMPARE(folders.layout(), expectedLayout);
    QCOMPARE(folders.settingsFile(), path(settings));
    QCOMPARE(folders.historyFile(), path(history));
    QStringList expectedFolders;
    for (const QString& folder : setFolders)
        expectedFolders << path(folder);
    QCOMPARE(folders.setFolders(), expectedFolders);
    QCOMPARE(folders.questionSetsPage(), path(page));
}

void TestUserFolders::setPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Found>("found");
    QTest::newRow("the user's set wins") << "both.qiz" << Found::User;
    QTest::newRow("only the user's") << "own.qiz" << Found::User;
    QTest::newRow("only bundled") << "bundled.qiz" << Found::Bundled;
    QTest::newRow("in neither: missing in the user's folder") << "gone.qiz" << Found::User;
    QTest::newRow("no set") << "" << Found::Nowhere;
}

void TestUserFolders::setPath()
{
    QFETCH(QString, name);
    QFETCH(Found, found);
    QDir(m_dir->path()).mkpath("user");
    QDir(m_dir->path()).mkpath("bundled");
    for (const QString& file :
         QStringList{"user/both.qiz", "user/own.qiz", "bundled/both.qiz", "bundled/bundled.qiz"})
        testutil::writeBytes(path(file), "S=x\r\n");
    const UserFolders folders(path("program"), FolderLayout::Installed,
                              {path("config"), path("user"), path("bundled")});
    const QString expected = found == Found::User      ? path("user/" + name)
                             : found == Found::Bundled ? path("bundled/" + name)
                                                       : QString();
    QCOMPARE(folders.setPath(name), expected);
}

void TestUserFolders::standardFoldersFollowXdg()
{
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    const InstalledFolders folders = UserFolders::standardInstalledFolders();
    QCOMPARE(folders.config, path("config/montera"));
    QCOMPARE(folders.data, path("data/montera"));
}

QTEST_GUILESS_MAIN(TestUserFolders)
#include "test_userfolders.moc"
