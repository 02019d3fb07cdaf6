// The show and the settings behaviour inside the real windows, offscreen.

#include "bank.h"
#include "fileutil.h"
#include "frmmain.h"
#include "frmset.h"
#include "globals.h"
#include "hiddensettings.h"
#include "historystore.h"
#include "progresswindow.h"
#include "scriptedrandom.h"
#include "set5tq.h"
#include "settingsfile.h"
#include "settingswindow.h"
#include "showwindow.h"
#include "testutil.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <memory>

using namespace montera;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool isOrange(const QLabel* label)
{
    return label->palette().color(label->backgroundRole()) == QColor(255, 128, 0);
}

} // namespace

class TestGui : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void settingsWindowListAndHeader();
    void settingsWindowOkWritesAndCloseBoxDoesNot();
    void settingsListKeepsItsSelection_data();
    void settingsListKeepsItsSelection();
    void settingsWindowDownloadButton();
    void settingsWindowIdleStart();
    void oversizeWarningOncePerSelection();
    void hiddenSettingsActAsTheWindow_data();
    void hiddenSettingsActAsTheWindow();
    void showAnswersByKey_data();
    void showAnswersByKey();
    void showIgnoresOtherKeys();
    void pointerOverThePanelEndsNormalMode();
    void pointerIgnoredInStudyMode();
    void timerCycleInTheWindow();
    void panelStaysOnTheWindowAtEverySize_data();
    void panelStaysOnTheWindowAtEverySize();
    void controlCharactersDrawNothing();
    void progressWindow();

private:
    // More is one further line of the file, such as "SIZE=1".
    void writeSettings(const QString& file, int mode, const QString& more = {});
    frmMain& startShow(const QString& file, int mode, const QString& more = {});
    // The test's folder as a program folder laid out portably.
    UserFolders folders() const { return UserFolders(m_dir->path(), FolderLayout::Portable, {}); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<frmSet> m_set;
    ShowWindow* m_show = nullptr;
    ScriptedRandom m_random;
    int m_ends = 0;
    QList<QUrl> m_opened;
};

void TestGui::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    globalSettings() = Settings();
    m_ends = 0;
    m_opened.clear();
    QStringList qiz{"S=Set A", "C=Alice", "V=1.0"};
    for (int q = 0; q < 3; ++q) {
        qiz << QStringLiteral("Q=<b>Q%1 & more</b>").arg(q);
        for (int c = 1; c <= 5; ++c)
            qiz << QStringLiteral("A%1=c%2").arg(c).arg(c - 1);
        qiz << QStringLiteral("A =%1").arg(q + 1);
    }
    testutil::writeBytes(m_dir->filePath("a.qiz"), testutil::crlfText(qiz));
    testutil::Set5tq set5tq;
    set5tq.section(7, "Sec", 1, 8, "QUIZ.5TQ").question(8, "text", {"r", "w1", "w2", "w3", "w4"});
    testutil::writeBytes(m_dir->filePath("b.5tq"), set5tq.file(9));
    testutil::writeBytes(m_dir->filePath("c.5tx"),
                         testutil::crlfText({"", "", "", "Title", "1", "Q", "r", "w1", "w2", "w3", "w4"}));
}

void TestGui::cleanup()
{
    m_main.reset();
    m_set.reset();
}

void TestGui::writeSettings(const QString& file, int mode, const QString& more)
{
    testutil::writeBytes(m_dir->filePath(kSettingsFileName),
                         (QStringLiteral("[Setting]\r\nFILE=%1\r\nMODE=%2\r\n").arg(file).arg(mode) +
                          (more.isEmpty() ? QString() : more + QStringLiteral("\r\n")))
                             .toLatin1());
}

frmMain& TestGui::startShow(const QString& file, int mode, const QString& more)
{
    writeSettings(file, mode, more);
    m_set = std::make_unique<frmSet>();
    SettingsWindow& settings = SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    m_main = std::make_unique<frmMain>();
    m_main->resize(1024, 768);
    m_show = &ShowWindow::attach(
        *m_main, m_random, [&settings] { settings.readSettings(); }, [this] { ++m_ends; });
    m_main->show();
    if (!QTest::qWaitForWindowExposed(m_main.get()))
        qFatal("window not exposed");
    return *m_main;
}

void TestGui::settingsWindowListAndHeader()
{
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    QListWidget* list = m_set->lstSetList;
    QCOMPARE(list->count(), 2); // the 5TX set is not offered
    QCOMPARE(list->item(0)->text(), QStringLiteral("a.qiz"));
    QVERIFY(m_set->optMode[0]->isChecked());
    QCOMPARE(list->selectedItems().size(), 0);
    QCOMPARE(m_set->lblTitle->text(), QString());

    m_set->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_set.get()));
    list->setFocus();
    list->setCurrentRow(0);
    QCOMPARE(m_set->lblTitle->text(), QStringLiteral("Set A"));
    QCOMPARE(m_set->lblVersion->text(), QStringLiteral("1.0"));
    QCOMPARE(m_set->lblCreater->text(), QStringLiteral("Alice"));
    // The arrow key loads the next set: a 5TQ set has a title only.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(m_set->lblTitle->text(), QStringLiteral("QUIZ"));
    QCOMPARE(m_set->lblVersion->text(), QString());
    QCOMPARE(m_set->lblCreater->text(), QString());
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(m_set->lblCreater->text(), QStringLiteral("Alice"));
}

void TestGui::settingsWindowOkWritesAndCloseBoxDoesNot()
{
    writeSettings("b.5tq", 1);
    const QByteArray original = fileBytes(m_dir->filePath(kSettingsFileName));
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    QCOMPARE(m_set->lstSetList->currentRow(), 1);
    QVERIFY(m_set->optMode[1]->isChecked());
    QCOMPARE(m_set->lblTitle->text(), QStringLiteral("QUIZ"));
    m_set->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_set.get()));

    // The close box leaves the file as it was.
    m_set->lstSetList->setCurrentRow(0);
    m_set->optMode[3]->setChecked(true);
    m_set->cboSize->setCurrentIndex(2);
    m_set->chkShowAnswer->setChecked(true);
    m_set->close();
    QVERIFY(m_set->isUnloaded());
    QCOMPARE(fileBytes(m_dir->filePath(kSettingsFileName)), original);

    // OK stores the list's selection, the mode and the display options.
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    m_set->lstSetList->setCurrentRow(0);
    m_set->optMode[3]->setChecked(true);
    m_set->cboSize->setCurrentIndex(1);
    QTest::mouseClick(m_set->chkShowAnswer, Qt::LeftButton);
    QTest::mouseClick(m_set->chkLearn, Qt::LeftButton);
    QTest::mouseClick(m_set->cmdOK, Qt::LeftButton);
    QVERIFY(m_set->isUnloaded());
    QCOMPARE(fileBytes(m_dir->filePath(kSettingsFileName)),
             QByteArray("[Setting]\r\nFILE=a.qiz\r\nMODE=3\r\nSIZE=1\r\nSHOWANSWER=1\r\nLEARN=1\r\n"));
    // The window shows what it wrote when it is opened again.
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    QCOMPARE(m_set->cboSize->currentText(), QStringLiteral("大"));
    QVERIFY(m_set->chkShowAnswer->isChecked());
    QVERIFY(m_set->chkLearn->isChecked());
}

void TestGui::settingsListKeepsItsSelection_data()
{
    QTest::addColumn<QString>("gesture");
    for (const char* gesture :
         {"Ctrl+click", "Ctrl+Space", "click below the items", "Ctrl+click below the items"})
        QTest::newRow(gesture) << QString::fromLatin1(gesture);
}

void TestGui::settingsListKeepsItsSelection()
{
    QFETCH(QString, gesture);
    writeSettings("a.qiz", 2);
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    m_set->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_set.get()));
    QListWidget* list = m_set->lstSetList;
    QWidget* viewport = list->viewport();
    const QPoint second = list->visualItemRect(list->item(1)).center();
    const QPoint belowItems(5, viewport->height() - 3);
    QVERIFY(!list->itemAt(belowItems));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, second);
    QCOMPARE(m_set->lblTitle->text(), QStringLiteral("QUIZ"));

    const bool ctrl = gesture.startsWith(u"Ctrl");
    if (gesture.endsWith(u"Space"))
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    else
        QTest::mouseClick(viewport, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier,
                          gesture.endsWith(u"items") ? belowItems : second);
    QCOMPARE(list->selectedItems().size(), 1);
    QTest::mouseClick(m_set->cmdOK, Qt::LeftButton);
    QCOMPARE(fileBytes(m_dir->filePath(kSettingsFileName)),
             QByteArray("[Setting]\r\nFILE=b.5tq\r\nMODE=2\r\nSIZE=0\r\nSHOWANSWER=0\r\nLEARN=0\r\n"));
}

// The start-when-idle controls reach montera-idle through the switch, and are
// hidden where there is none.
void TestGui::settingsWindowIdleStart()
{
    const QByteArray config = m_dir->filePath("config").toUtf8();
    qputenv("XDG_CONFIG_HOME", config);
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    QVERIFY(m_set->chkIdle->isHidden() && m_set->spnWait->isHidden() && m_set->lblWait->isHidden());

    QStringList calls;
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {}, {}, [&calls](const QStringList& arguments) {
        calls << arguments.join(' ');
        return QString();
    });
    m_set->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_set.get()));
    QVERIFY(m_set->chkIdle->isVisible() && !m_set->spnWait->isEnabled());
    QTest::mouseClick(m_set->chkIdle, Qt::LeftButton);
    m_set->spnWait->setFocus();
    QTest::keyClick(m_set->spnWait, Qt::Key_Down);
    QTest::mouseClick(m_set->cmdOK, Qt::LeftButton);
    QVERIFY(m_set->isUnloaded());
    QCOMPARE(calls, QStringList{"--enable 9m"});
    qunsetenv("XDG_CONFIG_HOME");
}

void TestGui::settingsWindowDownloadButton()
{
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), questionSetsPage(folders()), [this](const QUrl& url) {
        m_opened << url;
        return true;
    });
    QTest::mouseClick(m_set->cmdGetQuestion, Qt::LeftButton);
    QTest::mouseClick(m_set->cmdGetQuestion, Qt::LeftButton);
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(m_opened.first().isLocalFile());
    QVERIFY(m_opened.first().toLocalFile().endsWith(QStringLiteral("/question-sets.html")));
    QVERIFY(!m_set->isUnloaded());
}

void TestGui::oversizeWarningOncePerSelection()
{
    int warnings = 0;
    setOversizeWarning([&warnings] { ++warnings; });
    testutil::Set5tq big;
    big.section(7, "Sec", 1, 8, "HUGE.5TQ").question(8, "text", {"r", "w1", "w2", "w3", "w4"});
    testutil::writeBytes(m_dir->filePath("big.5tq"), big.bytes() + QByteArray(10, 'x'));
    m_set = std::make_unique<frmSet>();
    SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    QCOMPARE(warnings, 0);
    QCOMPARE(m_set->lstSetList->item(2)->text(), QStringLiteral("big.5tq"));
    m_set->lstSetList->setCurrentRow(2);
    QCOMPARE(warnings, 1);
    QCOMPARE(m_set->lblTitle->text(), QStringLiteral("HUGE"));
    m_set->lstSetList->setCurrentRow(0);
    m_set->lstSetList->setCurrentRow(2);
    QCOMPARE(warnings, 2);
    setOversizeWarning({});
}

void TestGui::hiddenSettingsActAsTheWindow_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("oversize set") << QByteArray("[Setting]\r\nFILE=big.5tq\r\nMODE=2\r\n");
    QTest::newRow("set twice") << QByteArray("[Setting]\r\nFILE=a.qiz\r\nFILE=big.5tq\r\n");
    QTest::newRow("missing set") << QByteArray("[Setting]\r\nFILE=none.qiz\r\nMODE=3\r\n");
}

// The show runs the settings window's load and second read without the window:
// settings, selection and set loads (counted by the oversize warning) are the window's.
void TestGui::hiddenSettingsActAsTheWindow()
{
    testutil::Set5tq big;
    big.section(7, "Sec", 1, 8, "HUGE.5TQ").question(8, "text", {"r", "w1", "w2", "w3", "w4"});
    testutil::writeBytes(m_dir->filePath("big.5tq"), big.bytes() + QByteArray(10, 'x'));
    QFETCH(QByteArray, settings);
    testutil::writeBytes(m_dir->filePath(kSettingsFileName), settings);
    int warnings = 0;
    setOversizeWarning([&warnings] { ++warnings; });
    const auto state = [&warnings](const SettingsView& view) {
        const Settings read = std::exchange(globalSettings(), Settings());
        return QStringList{QString::number(std::exchange(warnings, 0)),
                           view.selectedItemText(),
                           QString::number(view.isModeChecked(read.Mode)),
                           read.SetFileName,
                           QString::number(read.Mode),
                           std::exchange(globalBank().SetTitle, QString())};
    };
    m_set = std::make_unique<frmSet>();
    SettingsWindow& window = SettingsWindow::attach(*m_set, folders(), QUrl(), {});
    window.readSettings();
    const QStringList shown = state(window);
    HiddenSettings hidden(folders());
    hidden.readSettings();
    QCOMPARE(state(hidden), shown);
    setOversizeWarning({});
}

void TestGui::showAnswersByKey_data()
{
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("showAnswer");
    QTest::newRow("main keyboard, right") << false << true << true;
    QTest::newRow("keypad, right") << true << true << false;
    QTest::newRow("main keyboard, wrong") << false << false << false;
    QTest::newRow("main keyboard, wrong, answer shown") << false << false << true;
}

void TestGui::showAnswersByKey()
{
    QFETCH(bool, keypad);
    QFETCH(bool, right);
    QFETCH(bool, showAnswer);
    frmMain& form = startShow("a.qiz", 3);
    globalSettings().ShowAnswer = showAnswer;
    QCOMPARE(form.lblMode->text(), QStringLiteral("鬼モード"));
    QCOMPARE(form.lblCANum->text(), QStringLiteral("0"));
    QCOMPARE(form.lblCAPer->text(), QStringLiteral("0 %"));
    QCOMPARE(form.DummyText->pos(), QPoint(twipsToPixels(-1000), twipsToPixels(-1000)));
    QCOMPARE(form.fraDocFrame->pos(), QPoint(48, 24)); // the designed place
    QVERIFY(!form.lblMaru->isVisible() && !form.lblBatsu->isVisible());
    // Set texts are plain: markup shows as it is written.
    QCOMPARE(form.lblDoc->textFormat(), Qt::PlainText);
    QVERIFY(form.lblDoc->text().startsWith(QStringLiteral("<b>Q")));

    const int correctSlot = m_show->show().state().CorrectSlot;
    const int slot = right ? correctSlot : (correctSlot + 1) % 5;
    QTest::keyClick(&form, Qt::Key(Qt::Key_1 + slot), keypad ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(isOrange(form.lblSelect[static_cast<size_t>(slot)]));
    QCOMPARE(form.lblMaru->isVisible(), right);
    QCOMPARE(form.lblBatsu->isVisible(), !right);
    QCOMPARE(form.lblCANum->text(), right ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(form.lblCAPer->text(), right ? QStringLiteral("100 %") : QStringLiteral("0 %"));
    QCOMPARE(m_ends, 0);
    for (int i = 0; i < 5; ++i) {
        const QLabel* label = form.lblSelect[static_cast<size_t>(i)];
        const bool green = label->palette().color(label->backgroundRole()) == QColor(0x80, 0xE0, 0x80);
        QCOMPARE(green, showAnswer && !right && i == correctSlot);
    }
}

void TestGui::showIgnoresOtherKeys()
{
    frmMain& form = startShow("a.qiz", 0);
    for (Qt::Key key : {Qt::Key_6, Qt::Key_0, Qt::Key_A, Qt::Key_Escape, Qt::Key_Return, Qt::Key_End}) {
        QTest::keyClick(&form, key);
        QCOMPARE(m_show->show().state().Phase, -1);
    }
    for (const QLabel* label : form.lblSelect)
        QVERIFY(!isOrange(label));
    QCOMPARE(m_ends, 0);
}

void TestGui::pointerOverThePanelEndsNormalMode()
{
    frmMain& form = startShow("a.qiz", 0);
    QWindow* window = form.windowHandle();
    // Over the panel, the first event only records the position.
    const QPoint overPanel = form.fraDocFrame->geometry().center();
    QTest::mouseMove(window, overPanel);
    QCOMPARE(m_ends, 0);
    QTest::mouseMove(window, overPanel + QPoint(1, 0));
    QCOMPARE(m_ends, 1);
}

void TestGui::pointerIgnoredInStudyMode()
{
    frmMain& form = startShow("a.qiz", 1);
    QWindow* window = form.windowHandle();
    QTest::mouseMove(window, QPoint(10, 10));
    QTest::mouseMove(window, QPoint(500, 400));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(500, 400));
    QCOMPARE(m_ends, 0);
}

void TestGui::timerCycleInTheWindow()
{
    frmMain& form = startShow("a.qiz", 1);
    const int full = form.shpTimeBar->width();
    for (int tick = 0; tick < 402; ++tick)
        m_show->timMainTimer();
    QCOMPARE(form.shpTimeBar->widthTwips(), 0.0);
    QVERIFY(form.lblBatsu->isVisible());
    QVERIFY(form.timMain->isActive());
    form.timMain->stop();
    // A key queued before a tick is handled inside it.
    QTest::keyClick(&form, Qt::Key_1);
    for (int tick = 0; tick < 22; ++tick)
        m_show->timMainTimer();
    form.timMain->stop();
    QCOMPARE(m_show->show().state().AskedCount, 2);
    QVERIFY(!form.lblBatsu->isVisible());
    QVERIFY(form.fraDocFrame->isVisible());
    const QRect panel = form.fraDocFrame->geometry();
    QVERIFY(form.rect().contains(panel));
    Q_UNUSED(full);

    // A right answer in the study mode ends the show after the result display.
    m_show->show().state().CorrectSlot = 0;
    QTest::keyClick(&form, Qt::Key_1);
    QVERIFY(form.lblMaru->isVisible());
    for (int tick = 0; tick < 21; ++tick)
        m_show->timMainTimer();
    QCOMPARE(m_ends, 0);
    m_show->timMainTimer();
    QCOMPARE(m_ends, 1);
    QVERIFY(!form.timMain->isActive());
}

void TestGui::panelStaysOnTheWindowAtEverySize_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("factor");
    QTest::newRow("standard") << QStringLiteral("SIZE=0") << 1;
    QTest::newRow("large") << QStringLiteral("SIZE=1") << 2;
}

void TestGui::panelStaysOnTheWindowAtEverySize()
{
    QFETCH(QString, size);
    QFETCH(int, factor);
    frmMain& form = startShow("a.qiz", 1, size);
    QCOMPARE(form.fraDocFrame->pos(), QPoint(48, 24) * factor);
    form.resize(1600, 1200);
    // The far ends of the random range first, then seeded values.
    m_random.append({0.0f, 0.0f, 0.99999f, 0.99999f});
    for (int question = 0; question < 20; ++question) {
        m_show->show().PlaceQuestion();
        QVERIFY(form.rect().contains(form.fraDocFrame->geometry()));
        if (question == 1)
            QCOMPARE(form.fraDocFrame->geometry().bottomRight(), form.rect().bottomRight());
    }
}

void TestGui::controlCharactersDrawNothing()
{
    frmMain& form = startShow("c.5tx", 0);
    QCOMPARE(globalBank().QuestionText[0], QStringLiteral("Q\r"));
    QCOMPARE(form.lblDoc->text(), QStringLiteral("Q"));
    QCOMPARE(form.lblTitle->text(), QStringLiteral("Title"));
    for (const QLabel* label : form.lblSelect)
        QVERIFY(!label->text().contains(u'\r'));
}

void TestGui::progressWindow()
{
    const QString path = m_dir->filePath(kHistoryFileName);
    constexpr std::int64_t kNow = 20000 * 86400 + 12 * 3600;
    {
        HistoryStore history;
        QCOMPARE(history.open(path, HistoryAccess::ReadWrite), HistoryState::Writable);
        // Today 8 asked, 6 right; two days ago 4 asked, 1 right; "hard"
        // missed four times.
        std::vector<AnswerRecord> answers(12);
        for (size_t i = 0; i < answers.size(); ++i) {
            AnswerRecord& a = answers[i];
            a.setFile = "a.qiz";
            a.setTitle = "Set A";
            const bool easy = i < 6 || i == 11;
            a.questionText = easy ? "easy" : i == 10 ? "other" : "hard";
            a.choices = {"c0", "c1", "c2", "c3", "c4"};
            a.answerIndex = 2;
            a.outcome = easy ? AnswerOutcome::Right : AnswerOutcome::Wrong;
            a.answeredAt = kNow - (i < 8 ? 0 : 2 * 86400);
        }
        QVERIFY(history.record(answers));
    }
    ProgressWindow window(path, "a.qiz", "Set A");
    window.load(kNow, 0);
    window.resize(640, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.lblSet->text(), QStringLiteral("Set A（a.qiz）"));
    QCOMPARE(window.lblTotal->text(), QStringLiteral("これまで：12 問　正答率 58 %"));
    QCOMPARE(window.lblWeek->text(), QStringLiteral("直近7日間：12 問　正答率 58 %"));
    QCOMPARE(window.lstMissed->topLevelItemCount(), 2);
    QCOMPARE(window.lstMissed->topLevelItem(0)->text(0), QStringLiteral("hard"));
    QCOMPARE(window.lstMissed->topLevelItem(0)->text(1), QStringLiteral("c2"));
    QCOMPARE(window.lstMissed->topLevelItem(0)->text(2), QStringLiteral("4 / 4"));

    // The bars stand as high as the counts on the scale, in the bar colour
    // (looked at near their foot, below the share line); the share points at
    // their heights.
    const ProgressChart& chart = *window.chart;
    QCOMPARE(chart.scaleTop(), 8);
    const QRect today = chart.barRect(29);
    const QRect twoDaysAgo = chart.barRect(27);
    QVERIFY(chart.barRect(28).isEmpty());
    QCOMPARE(today.bottom(), twoDaysAgo.bottom());
    QVERIFY(qAbs(today.height() * 4 - twoDaysAgo.height() * 8) <= 8);
    QVERIFY(today.left() > twoDaysAgo.right());
    const QImage picture = window.chart->grab().toImage();
    const qreal ratio = picture.devicePixelRatio();
    for (const QRect& bar : {today, twoDaysAgo})
        QCOMPARE(picture.pixelColor(QPoint(bar.center().x(), bar.bottom() - 2) * ratio), QColor(0, 0, 0x80));
    QVERIFY(picture.pixelColor(chart.barRect(28).center() * ratio) != QColor(0, 0, 0x80));
    QVERIFY(chart.sharePoint(29).y() < chart.sharePoint(27).y());
    QVERIFY(chart.sharePoint(28).isNull());

    // Erasing asks first.
    window.confirmErase = [] { return false; };
    window.cmdErase->click();
    QCOMPARE(window.lstMissed->topLevelItemCount(), 2);
    window.confirmErase = [] { return true; };
    window.cmdErase->click();
    QCOMPARE(window.lblTotal->text(), QStringLiteral("これまで：0 問　正答率 0 %"));
    QCOMPARE(window.lstMissed->topLevelItemCount(), 0);
    QVERIFY(window.chart->barRect(29).isEmpty());
}

QTEST_MAIN(TestGui)
#include "test_gui.moc"
