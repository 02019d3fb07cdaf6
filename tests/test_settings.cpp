#include "bank.h"
#include "globals.h"
#include "settingsdialog.h"
#include "settingsfile.h"
#include "settingsview.h"
#include "testutil.h"

#include <QTest>

#include <array>
#include <memory>

using namespace montera;

namespace {

// Stands in for the settings window: a list of the folders' sets, four mode
// buttons of which exactly one is on, and the three header labels.
class RecordingSettingsView final : public SettingsView {
public:
    void setListFolders(const QStringList& folders) override
    {
        items.clear();
        for (const QString& folder : folders)
            items += QDir(folder).entryList({"*.qiz", "*.5tq"}, QDir::Files);
        items.removeDuplicates();
        items.sort(Qt::CaseInsensitive);
    }
    int itemCount() const override { return int(items.size()); }
    QString itemText(int index) const override { return items.at(index); }
    void selectItem(int index) override
    {
        if (index == selected)
            return;
        selected = index;
        if (onClick)
            onClick();
    }
    QString selectedItemText() const override { return selected < 0 ? QString() : items.at(selected); }
    void setModeChecked(int mode) override
    {
        modes.fill(false);
        modes[static_cast<size_t>(mode)] = true;
        ++modeSwitches;
    }
    bool isModeChecked(int mode) const override { return modes[static_cast<size_t>(mode)]; }
    void setDisplaySize(DisplaySize s) override { size = s; }
    DisplaySize displaySize() const override { return size; }
    void setShowAnswer(bool on) override { showAnswer = on; }
    bool isShowAnswerChecked() const override { return showAnswer; }
    void setLearn(bool on) override { learn = on; }
    bool isLearnChecked() const override { return learn; }
    void setHeader(const QString& t, const QString& v, const QString& c) override { header = {t, v, c}; }
    void showBrowserError() override { ++browserErrors; }
    void showSaveError(const QString& fileName, const QString& reason) override
    {
        saveErrors << fileName << reason;
    }
    void unload() override { ++unloads; }
    void setIdleStart(bool on, int minutes) override
    {
        idleChecked = on;
        waitMinutes = minutes;
    }
    bool isIdleStartChecked() const override { return idleChecked; }
    int idleWaitMinutes() const override { return waitMinutes; }
    void setIdleNote(const QString& text) override { note = text; }
    void showIdleStartError(const QString& message) override { idleErrors << message; }

    QStringList items;
    int selected = -1;
    std::array<bool, 4> modes{true, false, false, false}; // the design state
    int modeSwitches = 0;
    DisplaySize size = DisplaySize::Standard;
    bool showAnswer = false;
    bool learn = false;
    QStringList header{"", "", ""};
    int browserErrors = 0;
    QStringList saveErrors;
    int unloads = 0;
    bool idleChecked = false;
    int waitMinutes = 0;
    QString note;
    QStringList idleErrors;
    std::function<void()> onClick;
};

struct Window {
    explicit Window(const QString& folder, bool browserWorks = true)
        : Window(UserFolders(folder, FolderLayout::Portable, {}), browserWorks)
    {}
    explicit Window(const UserFolders& folders, bool browserWorks = true, QString idleComplaint = {})
        : dialog(
              view, *bank, settings, folders, QUrl("file:///page.html"),
              [this, browserWorks](const QUrl& url) {
                  opened << url;
                  return browserWorks;
              },
              [this, idleComplaint](const QStringList& arguments) {
                  idleCalls << arguments.join(' ');
                  return idleComplaint;
              })
    {
        view.onClick = [this] { dialog.lstSetListClick(); };
        dialog.FormLoad();
    }
    int checkedMode() const
    {
        return int(std::find(view.modes.begin(), view.modes.end(), true) - view.modes.begin());
    }

    RecordingSettingsView view;
    std::unique_ptr<QuestionBank> bank = std::make_unique<QuestionBank>();
    Settings settings;
    QList<QUrl> opened;
    QStringList idleCalls;
    SettingsDialog dialog;
};

// The file OK writes: the three designed lines, then the display options.
QByteArray written(const QString& setFile, int mode, int size = 0, int showAnswer = 0, int learn = 0)
{
    return "[Setting]\r\nFILE=" + setFile.toLatin1() + "\r\nMODE=" + QByteArray::number(mode) +
           "\r\nSIZE=" + QByteArray::number(size) + "\r\nSHOWANSWER=" + QByteArray::number(showAnswer) +
           "\r\nLEARN=" + QByteArray::number(learn) + "\r\n";
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void noSettingsFile();
    void writtenFileReadsBack_data();
    void writtenFileReadsBack();
    void reading_data();
    void reading();
    void displayOptions_data();
    void displayOptions();
    void neitherKeyLeavesTheDesignState();
    void headerFollowsTheSelection();
    void cancelLeavesTheFile();
    void failedWriteIsSilent();
    void installedLayout();
    void installedFailedWriteIsShown();
    void downloadButton();
    void autostartEntry_data();
    void autostartEntry();
    void autostartEntryRoundTrip();
    void idleStartOk_data();
    void idleStartOk();
    void idleStartFailureKeepsTheWindow();
    void gnomeBlankingNote_data();
    void gnomeBlankingNote();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // The user's autostart entry lies in the test's own folder.
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    testutil::writeBytes(path("a.qiz"), testutil::crlfText({"S=Set A", "C=Alice", "V=1.0", "Q=q", "A1=x"}));
    testutil::writeBytes(path("b.qiz"), testutil::crlfText({"S=Set B", "Q=q"}));
    testutil::writeBytes(path("c.5tx"),
                         testutil::crlfText({"", "", "", "T", "1", "q", "a", "b", "c", "d", "e"}));
}

void TestSettings::noSettingsFile()
{
    Window w(m_dir->path());
    QCOMPARE(QDir::currentPath(), QDir(m_dir->path()).canonicalPath());
    QCOMPARE(w.view.items, (QStringList{"a.qiz", "b.qiz"}));
    QCOMPARE(w.checkedMode(), 0);
    QCOMPARE(w.view.selected, -1);
    QCOMPARE(w.view.header, (QStringList{"", "", ""}));
    QCOMPARE(w.settings.SetFileName, QString());
    w.dialog.cmdOKClick();
    QCOMPARE(w.view.unloads, 1);
    QCOMPARE(fileBytes(path(kSettingsFileName)), written("", 0));
}

void TestSettings::writtenFileReadsBack_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("mode");
    QTest::newRow("a.qiz, exam") << 0 << 2;
    QTest::newRow("b.qiz, oni") << 1 << 3;
    QTest::newRow("a.qiz, study") << 0 << 1;
    QTest::newRow("nothing, normal") << -1 << 0;
}

void TestSettings::writtenFileReadsBack()
{
    QFETCH(int, item);
    QFETCH(int, mode);
    QString expectedFile;
    {
        Window w(m_dir->path());
        if (item >= 0)
            w.view.selectItem(item);
        w.view.setModeChecked(mode);
        w.dialog.cmdOKClick();
        QCOMPARE(w.settings.SelectedMode, std::int16_t(mode));
        expectedFile = w.view.selectedItemText();
        QCOMPARE(fileBytes(path(kSettingsFileName)), written(expectedFile, mode));
    }
    Window again(m_dir->path());
    QCOMPARE(again.view.selected, item);
    QCOMPARE(again.settings.SetFileName, expectedFile);
    QCOMPARE(again.settings.Mode, std::int16_t(mode));
    QCOMPARE(again.checkedMode(), mode);
    if (item == 0)
        QCOMPARE(again.view.header, (QStringList{"Set A", "1.0", "Alice"}));
    // OK without touching anything writes the same file again.
    const QByteArray before = fileBytes(path(kSettingsFileName));
    again.dialog.cmdOKClick();
    QCOMPARE(fileBytes(path(kSettingsFileName)), before);
}

void TestSettings::reading_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("setFileName");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("selected");

    QTest::newRow("written order") << QStringList{"[Setting]", "FILE=b.qiz", "MODE=1"} << "b.qiz" << 1 << 1;
    QTest::newRow("other order") << QStringList{"MODE=2", "FILE=a.qiz", "[Setting]"} << "a.qiz" << 2 << 0;
    QTest::newRow("lower-case keys ignored") << QStringList{"file=a.qiz", "mode=2", "x"} << "" << 0 << -1;
    QTest::newRow("leading blank ignored") << QStringList{" FILE=a.qiz", " MODE=2", ""} << "" << 0 << -1;
    QTest::newRow("FILENAME counts as FILE") << QStringList{"FILENAME=b.qiz", "MODE=3"} << "b.qiz" << 3 << 1;
    QTest::newRow("FILE without =") << QStringList{"FILE", "MODE=1"} << "" << 1 << -1;
    QTest::newRow("key on line four ignored")
        << QStringList{"[Setting]", "", "", "FILE=a.qiz", "MODE=2"} << "" << 0 << -1;
    QTest::newRow("set no longer there") << QStringList{"FILE=gone.qiz", "MODE=2"} << "gone.qiz" << 2 << -1;
    QTest::newRow("5TX set is not in the list") << QStringList{"FILE=c.5tx", "MODE=1"} << "c.5tx" << 1 << -1;
    QTest::newRow("case matters") << QStringList{"FILE=A.QIZ", "MODE=1"} << "A.QIZ" << 1 << -1;
    QTest::newRow("MODE=9 is normal") << QStringList{"FILE=a.qiz", "MODE=9"} << "a.qiz" << 0 << 0;
    QTest::newRow("MODE=x is normal") << QStringList{"MODE=x", "FILE=a.qiz"} << "a.qiz" << 0 << 0;
    QTest::newRow("MODE=-1 is normal") << QStringList{"MODE=-1"} << "" << 0 << -1;
    QTest::newRow("one line only") << QStringList{"MODE=2"} << "" << 2 << -1;
    QTest::newRow("no line end at all") << QStringList{"FILE=b.qiz"} << "b.qiz" << 0 << 1;
    // A set that fails to load falls back to the normal mode, before the
    // MODE line is read, so the stored mode still wins.
    QTest::newRow("unloadable set, mode after it")
        << QStringList{"FILE=gone.qiz", "MODE=3"} << "gone.qiz" << 3 << -1;
}

void TestSettings::reading()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, setFileName);
    QFETCH(int, mode);
    QFETCH(int, selected);
    testutil::writeBytes(path(kSettingsFileName), testutil::crlfText(lines));
    Window w(m_dir->path());
    QCOMPARE(w.settings.SetFileName, setFileName);
    QCOMPARE(w.settings.Mode, std::int16_t(mode));
    QCOMPARE(w.checkedMode(), mode);
    QCOMPARE(w.view.selected, selected);
    // OK writes back what was read, also a set that the list cannot show.
    w.dialog.cmdOKClick();
    QCOMPARE(fileBytes(path(kSettingsFileName)), written(setFileName, mode));
}

void TestSettings::displayOptions_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("showAnswer");
    QTest::addColumn<bool>("learn");
    const QStringList designed{"[Setting]", "FILE=a.qiz", "MODE=2"};
    QTest::newRow("three lines only") << designed << 0 << false << false;
    QTest::newRow("written order") << designed + QStringList{"SIZE=2", "SHOWANSWER=1", "LEARN=1"} << 2 << true
                                   << true;
    QTest::newRow("other order, far down")
        << designed + QStringList{"", "LEARN=1", "x=1", "SHOWANSWER=1", "SIZE=1"} << 1 << true << true;
    QTest::newRow("out of range") << designed + QStringList{"SIZE=3", "SHOWANSWER=2", "LEARN=-1"} << 0
                                  << false << false;
    QTest::newRow("not numbers") << designed + QStringList{"SIZE=large", "SHOWANSWER=yes", "LEARN=on"} << 0
                                 << false << false;
    QTest::newRow("whole name only") << designed + QStringList{"SIZES=2", "SHOWANSWERS=1", "size=2",
                                                               " SIZE=2", "LEARNING=1",    "learn=1"}
                                     << 0 << false << false;
    QTest::newRow("first of two wins")
        << designed + QStringList{"SIZE=1", "SIZE=2", "LEARN=0", "LEARN=1"} << 1 << false << false;
}

void TestSettings::displayOptions()
{
    QFETCH(QStringList, lines);
    QFETCH(int, size);
    QFETCH(bool, showAnswer);
    QFETCH(bool, learn);
    testutil::writeBytes(path(kSettingsFileName), testutil::crlfText(lines));
    Window w(m_dir->path());
    QCOMPARE(w.settings.Size, DisplaySize(size));
    QCOMPARE(w.settings.ShowAnswer, showAnswer);
    QCOMPARE(w.view.size, DisplaySize(size));
    QCOMPARE(w.view.showAnswer, showAnswer);
    QCOMPARE(w.settings.Learn, learn);
    QCOMPARE(w.view.learn, learn);
    // The designed keys are read as before.
    QCOMPARE(w.settings.Mode, std::int16_t(2));
    QCOMPARE(w.view.selected, 0);
    w.view.setDisplaySize(DisplaySize::FitScreen);
    w.view.setShowAnswer(!showAnswer);
    w.view.setLearn(!learn);
    w.dialog.cmdOKClick();
    QCOMPARE(fileBytes(path(kSettingsFileName)), written("a.qiz", 2, 2, showAnswer ? 0 : 1, learn ? 0 : 1));
}

void TestSettings::neitherKeyLeavesTheDesignState()
{
    testutil::writeBytes(path(kSettingsFileName), testutil::crlfText({"[Setting]", "x=1", "y=2", "MODE=3"}));
    Window w(m_dir->path());
    QCOMPARE(w.view.modeSwitches, 0); // the defaults were not applied either
    QCOMPARE(w.checkedMode(), 0);
    QCOMPARE(w.view.selected, -1);
}

void TestSettings::headerFollowsTheSelection()
{
    Window w(m_dir->path());
    w.view.selectItem(0);
    QCOMPARE(w.view.header, (QStringList{"Set A", "1.0", "Alice"}));
    w.view.selectItem(1);
    QCOMPARE(w.view.header, (QStringList{"Set B", "", ""}));
    QCOMPARE(w.bank->QuestionText[0], QStringLiteral("q"));
    QFile::remove(path("a.qiz"));
    w.view.selectItem(0);
    QCOMPARE(w.view.header, (QStringList{"", "", ""}));
}

void TestSettings::cancelLeavesTheFile()
{
    const QByteArray original("[Setting]\r\nFILE=a.qiz\r\nMODE=1\r\n");
    testutil::writeBytes(path(kSettingsFileName), original);
    Window w(m_dir->path());
    w.view.selectItem(1);
    w.view.setModeChecked(3);
    w.view.setDisplaySize(DisplaySize::Large);
    w.view.setShowAnswer(true);
    w.view.setIdleStart(true, 5);
    w.dialog.cmdCancelClick();
    QCOMPARE(w.view.unloads, 1);
    QCOMPARE(fileBytes(path(kSettingsFileName)), original);
    QVERIFY(w.idleCalls.isEmpty());
}

void TestSettings::failedWriteIsSilent()
{
    // A folder in the way of the settings file makes every write fail.
    QVERIFY(QDir(m_dir->path()).mkdir(kSettingsFileName));
    Window w(m_dir->path());
    QCOMPARE(w.checkedMode(), 0);
    w.dialog.cmdOKClick();
    QCOMPARE(w.view.unloads, 1);
    QVERIFY(QFileInfo(path(kSettingsFileName)).isDir());
}

// Beside a read-only program: the user's sets join the bundled ones and win
// over a bundled set of the same name, and OK creates the settings file's
// folder.
void TestSettings::installedLayout()
{
    QVERIFY(QDir(m_dir->path()).mkdir("data"));
    testutil::writeBytes(path("data/b.qiz"), testutil::crlfText({"S=Own B", "Q=q"}));
    testutil::writeBytes(path("data/d.qiz"), testutil::crlfText({"S=Set D", "Q=q"}));
    const UserFolders folders(m_dir->path(), FolderLayout::Installed,
                              {path("config/montera"), path("data"), {}});
    {
        Window w(folders);
        QCOMPARE(w.view.items, (QStringList{"a.qiz", "b.qiz", "d.qiz"}));
        w.view.selectItem(1);
        QCOMPARE(w.view.header.first(), QStringLiteral("Own B"));
        w.view.setModeChecked(2);
        w.dialog.cmdOKClick();
        QCOMPARE(w.view.unloads, 1);
    }
    QCOMPARE(fileBytes(path("config/montera/" + kSettingsFileName)), written("b.qiz", 2));
    QVERIFY(!QFile::exists(path(kSettingsFileName)));
    Window again(folders);
    QCOMPARE(again.settings.SetFileName, QStringLiteral("b.qiz"));
    QCOMPARE(again.settings.SetPath, path("data/b.qiz"));
}

// There the user hears why OK failed, and the window stays open.
void TestSettings::installedFailedWriteIsShown()
{
    testutil::writeBytes(path("file"), "in the way of the settings folder");
    Window w(UserFolders(m_dir->path(), FolderLayout::Installed, {path("file/montera"), path("data"), {}}));
    w.dialog.cmdOKClick();
    QCOMPARE(w.view.unloads, 0);
    QCOMPARE(w.view.saveErrors.size(), 2);
    QCOMPARE(w.view.saveErrors.first(), path("file/montera/" + kSettingsFileName));
    QVERIFY(!w.view.saveErrors.last().isEmpty());
}

void TestSettings::downloadButton()
{
    Window w(m_dir->path());
    w.dialog.cmdGetQuestionClick();
    w.dialog.cmdGetQuestionClick();
    QCOMPARE(w.opened.size(), 2);
    QCOMPARE(w.opened.first(), QUrl("file:///page.html"));
    QCOMPARE(w.view.browserErrors, 0);
    QCOMPARE(w.view.unloads, 0);

    Window noBrowser(m_dir->path(), false);
    noBrowser.dialog.cmdGetQuestionClick();
    QCOMPARE(noBrowser.view.browserErrors, 1);
}

// What the window reads of the user's autostart entry: whether the desktop
// starts it, and the wait as the box shows it.
void TestSettings::autostartEntry_data()
{
    QTest::addColumn<QByteArray>("entry"); // empty: no file
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("minutes");
    const QByteArray head = "[Desktop Entry]\nType=Application\n";
    QTest::newRow("none") << QByteArray() << false << 10;
    QTest::newRow("seconds, rounded") << head + "Exec=\"/opt/m/montera-idle\" --after 90s\n" << true << 2;
    QTest::newRow("below the range") << head + "Exec=montera-idle --after 20s\n" << true << 1;
    QTest::newRow("above the range") << head + "Exec=montera-idle --after 300\n" << true << 120;
    QTest::newRow("unreadable wait") << head + "Exec=montera-idle --after soon\n" << true << 10;
    QTest::newRow("no wait") << head + "Exec=montera-idle\n" << true << 10;
    QTest::newRow("with equals") << head + "Exec=montera-idle --after=5m\n" << true << 5;
    QTest::newRow("hidden") << head + "Exec=montera-idle --after 5\nHidden=true\n" << false << 5;
    QTest::newRow("GNOME off") << head + "Exec=montera-idle --after 5\nX-GNOME-Autostart-enabled=false\n"
                               << false << 5;
    QTest::newRow("another group") << QByteArray("[Other]\nExec=montera-idle --after 5\n") << false << 10;
}

void TestSettings::autostartEntry()
{
    QFETCH(QByteArray, entry);
    QFETCH(bool, enabled);
    QFETCH(int, minutes);
    if (!entry.isEmpty()) {
        QVERIFY(QDir().mkpath(path("config/autostart")));
        testutil::writeBytes(autostartEntryPath(), entry);
    }
    Window w(m_dir->path());
    QCOMPARE(w.view.idleChecked, enabled);
    QCOMPARE(w.view.waitMinutes, minutes);
}

// The entry that montera-idle writes reads back, whatever the program's path.
void TestSettings::autostartEntryRoundTrip()
{
    const QString program = QStringLiteral("/home/a b/\"q\" $x `y` 100% \\z/montera-idle");
    testutil::writeBytes(path("entry.desktop"), autostartEntryText(program, "90s"));
    const AutostartEntry entry = readAutostartEntry(path("entry.desktop"));
    QVERIFY(entry.enabled);
    QCOMPARE(entry.program, program);
    QCOMPARE(entry.wait, QStringLiteral("90s"));
}

// OK calls montera-idle only for a box that is or was ticked, and keeps the
// entry's own wait while the box still shows it.
void TestSettings::idleStartOk_data()
{
    QTest::addColumn<QString>("entryWait"); // empty: no entry
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("minutes");  // 0: as loaded
    QTest::addColumn<QString>("call"); // empty: none
    QTest::newRow("off, left off") << "" << false << 0 << "";
    QTest::newRow("off, ticked") << "" << true << 5 << "--enable 5m";
    QTest::newRow("on, unchanged") << "90s" << true << 0 << "--enable 90s";
    QTest::newRow("on, new wait") << "90s" << true << 3 << "--enable 3m";
    QTest::newRow("on, cleared") << "90s" << false << 0 << "--disable";
}

void TestSettings::idleStartOk()
{
    QFETCH(QString, entryWait);
    QFETCH(bool, tick);
    QFETCH(int, minutes);
    QFETCH(QString, call);
    if (!entryWait.isEmpty()) {
        QVERIFY(QDir().mkpath(path("config/autostart")));
        testutil::writeBytes(autostartEntryPath(), autostartEntryText("/usr/bin/montera-idle", entryWait));
    }
    Window w(m_dir->path());
    w.view.setIdleStart(tick, minutes == 0 ? w.view.waitMinutes : minutes);
    w.dialog.cmdOKClick();
    QCOMPARE(w.idleCalls, call.isEmpty() ? QStringList() : QStringList{call});
    QCOMPARE(w.view.unloads, 1);
}

// A watcher that cannot start is told, and the window stays open.
void TestSettings::idleStartFailureKeepsTheWindow()
{
    Window w(UserFolders(m_dir->path(), FolderLayout::Portable, {}), true, "montera-idle: no display");
    w.view.setIdleStart(true, 10);
    w.dialog.cmdOKClick();
    QCOMPARE(w.view.idleErrors, QStringList{"montera-idle: no display"});
    QCOMPARE(w.view.unloads, 0);
}

// The note tells when GNOME blanks the screen before the show's wait ends.
void TestSettings::gnomeBlankingNote_data()
{
    QTest::addColumn<QString>("gsettings");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("note");
    const QString fiveMinutes = QStringLiteral("GNOME が5分で画面を消すので、表示されません");
    QTest::newRow("sooner") << "uint32 300\n" << true << 10 << fiveMinutes;
    QTest::newRow("seconds") << "uint32 90" << true << 2
                             << QStringLiteral("GNOME が90秒で画面を消すので、表示されません");
    QTest::newRow("equal") << "uint32 300" << true << 5 << "";
    QTest::newRow("later") << "uint32 600" << true << 5 << "";
    QTest::newRow("never") << "uint32 0" << true << 10 << "";
    QTest::newRow("box clear") << "uint32 300" << false << 10 << "";
    QTest::newRow("no schema") << "No such schema" << true << 10 << "";
}

void TestSettings::gnomeBlankingNote()
{
    QFETCH(QString, gsettings);
    QFETCH(bool, ticked);
    QFETCH(int, minutes);
    QFETCH(QString, note);
    Window w(m_dir->path());
    w.view.setIdleStart(ticked, minutes);
    w.dialog.setGnomeIdleDelay(parseGnomeIdleDelay(gsettings));
    QCOMPARE(w.view.note, note);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
