#include "bank.h"
#include "displaysize.h"
#include "globals.h"
#include "historystore.h"
#include "keycode.h"
#include "quizshow.h"
#include "scriptedrandom.h"
#include "testutil.h"

#include <QTest>

#include <array>
#include <memory>

using namespace montera;

namespace {

// Records what the show puts on screen.
class RecordingView final : public ShowView {
public:
    void setQuestionText(const QString& text) override { doc = text; }
    void setQuestionNumber(const QString& text) override { qnum = text; }
    void setQuestionTitle(const QString& text) override { title = text; }
    void setChoiceText(int slot, const QString& text) override { choices[static_cast<size_t>(slot)] = text; }
    void setSlotHighlighted(int slot, bool on) override
    {
        orange[static_cast<size_t>(slot)] = on;
        if (!on)
            green[static_cast<size_t>(slot)] = false;
    }
    void setSlotShowsAnswer(int slot) override { green[static_cast<size_t>(slot)] = true; }
    void setMarkVisible(Mark mark, bool visible) override
    {
        (mark == Mark::Circle ? circle : cross) = visible;
    }
    void setBarWidth(float twips) override
    {
        bar = twips;
        ++barSteps;
    }
    void setHitRate(const QString& text) override { hitRate = text; }
    void setCorrectCount(const QString& text) override { correct = text; }
    void setModeName(const QString& text) override { mode = text; }
    void parkDummyText() override { dummyParked = true; }
    void setPanelVisible(bool visible) override { log += visible ? "show;" : "hide;"; }
    void movePanel(float left, float top) override
    {
        panelLeft = left;
        panelTop = top;
        log += "move;";
    }
    QSizeF innerSizeTwips() const override { return inner; }

    int orangeSlots() const { return int(std::count(orange.begin(), orange.end(), true)); }

    QString doc, qnum, title, hitRate = "0 %", correct, mode, log;
    std::array<QString, 5> choices;
    std::array<bool, 5> orange{};
    std::array<bool, 5> green{};
    bool circle = true, cross = true, dummyParked = false;
    float bar = 9135.0f, panelLeft = 720.0f, panelTop = 360.0f;
    int barSteps = 0;
    QSizeF inner{1024 * 15.0, 768 * 15.0};
};

struct Fixture {
    explicit Fixture(const QString& setFile, std::int16_t mode = 0)
    {
        settings.SetFileName = setFile;
        settings.SetPath = setFile;
        settings.Mode = mode;
        show = std::make_unique<QuizShow>(*bank, settings, view, random, [this] { ++endCalls; });
        show->FormLoad({});
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            show->TimerTick();
    }
    // Presses the key of the slot that shows the right answer, or the next slot.
    void answer(bool right)
    {
        const int slot = show->state().CorrectSlot;
        show->FormKeyDown(49 + (right ? slot : (slot + 1) % 5));
    }

    std::unique_ptr<QuestionBank> bank = std::make_unique<QuestionBank>();
    Settings settings;
    RecordingView view;
    ScriptedRandom random;
    std::unique_ptr<QuizShow> show;
    int endCalls = 0;
};

} // namespace

class TestShow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showStart();
    void errorEntryRunsInNormalMode();
    void firstQuestionUnanswered();
    void rightAnswerThenNextQuestion();
    void wrongAnswer();
    void keys_data();
    void keys();
    void modesEndAfterEnoughRightAnswers_data();
    void modesEndAfterEnoughRightAnswers();
    void normalModeEndsOnlyByPointer();
    void pointer_data();
    void pointer();
    void hitRate_data();
    void hitRate();
    void countsGoOnPastShortRange();
    void marksAndHighlight();
    void noRightSlotMakesEveryPickWrong();
    void normalModeWithoutAnyRightChoice_data();
    void normalModeWithoutAnyRightChoice();
    void panelPlacement();
    void questionIndexDistribution();
    void slotDistribution();
    void windowsKeyCodes_data();
    void windowsKeyCodes();
    void displayTextDropsControls();
    void displayFactors_data();
    void displayFactors();
    void questionEnds_data();
    void questionEnds();
    void learnOffDrawsAsWithoutHistory();

private:
    QString writeSet(const QString& name, const QStringList& answers);

    QTemporaryDir m_dir;
    QString m_threeQuestions;
};

// A set of one question per answer value, "Q0", "Q1" and so on.
QString TestShow::writeSet(const QString& name, const QStringList& answers)
{
    QStringList lines{"S=Set"};
    for (int q = 0; q < answers.size(); ++q) {
        lines << QStringLiteral("Q=Q%1").arg(q);
        for (int c = 1; c <= 5; ++c)
            lines << QStringLiteral("A%1=c%2").arg(c).arg(c - 1);
        lines << QStringLiteral("A =") + answers[q];
    }
    const QString path = m_dir.filePath(name);
    testutil::writeBytes(path, testutil::crlfText(lines));
    return path;
}

void TestShow::initTestCase()
{
    m_threeQuestions = m_dir.filePath("three.qiz");
    QStringList lines{"S=Set"};
    for (int q = 0; q < 3; ++q) {
        lines << QStringLiteral("Q=Q%1").arg(q);
        for (int c = 1; c <= 5; ++c)
            lines << QStringLiteral("A%1=c%2").arg(c).arg(c - 1);
        lines << QStringLiteral("A =%1").arg(q + 1);
    }
    testutil::writeBytes(m_threeQuestions, testutil::crlfText(lines));
}

void TestShow::showStart()
{
    Fixture f(m_threeQuestions, 3);
    QCOMPARE(f.random.seedings(), 1);
    QVERIFY(f.view.dummyParked);
    QCOMPARE(f.view.mode, QStringLiteral("鬼モード"));
    QCOMPARE(f.view.correct, QStringLiteral("0"));
    QCOMPARE(f.view.hitRate, QStringLiteral("0 %"));
    QCOMPARE(f.show->state().AskedCount, 1);
    QCOMPARE(f.show->state().Phase, -1);
    QVERIFY(!f.view.circle && !f.view.cross);
    QCOMPARE(f.view.orangeSlots(), 0);
    // The first question stays at the designed place.
    QVERIFY(f.view.log.isEmpty());
    QCOMPARE(f.view.title, QStringLiteral("Set"));
    QVERIFY(f.view.qnum.endsWith(QStringLiteral(" / 3")));
}

void TestShow::errorEntryRunsInNormalMode()
{
    Fixture f(m_dir.filePath("missing.qiz"), 3);
    QCOMPARE(f.view.doc, kErrorUnreadable);
    QCOMPARE(f.view.qnum, QStringLiteral("問題No / 問題数 : 1 / 1"));
    QCOMPARE(f.view.mode, QStringLiteral("通常モード"));
    QCOMPARE(f.settings.Mode, std::int16_t(0));
}

void TestShow::firstQuestionUnanswered()
{
    Fixture f(m_threeQuestions);
    for (int tick = 1; tick <= 401; ++tick) {
        const int before = f.view.barSteps;
        f.show->TimerTick();
        QCOMPARE(f.view.barSteps - before, tick % 2 == 0 ? 1 : 0);
        if (tick == 2)
            QCOMPARE(f.view.bar, 9135.0f);
        if (tick == 202)
            QCOMPARE(f.view.bar, 4567.5f);
        if (tick == 400)
            QCOMPARE(f.view.bar, 45.675f);
        QCOMPARE(f.show->state().Phase, -1);
    }
    QVERIFY(!f.view.cross);
    f.show->TimerTick(); // tick 402: time is up
    QCOMPARE(f.view.bar, 0.0f);
    QVERIFY(f.view.cross);
    QVERIFY(!f.view.circle);
    QCOMPARE(f.view.orangeSlots(), 0);
    QCOMPARE(f.view.correct, QStringLiteral("0"));
    QCOMPARE(f.view.hitRate, QStringLiteral("0 %"));
    QCOMPARE(f.show->state().Phase, 0);
    QCOMPARE(f.show->state().BarTicks, 0);
}

void TestShow::rightAnswerThenNextQuestion()
{
    Fixture f(m_threeQuestions);
    f.ticks(5);
    const int slot = f.show->state().CorrectSlot;
    f.answer(true);
    QVERIFY(f.view.circle);
    QVERIFY(!f.view.cross);
    QVERIFY(f.view.orange[static_cast<size_t>(slot)]);
    QCOMPARE(f.view.orangeSlots(), 1);
    QCOMPARE(f.view.correct, QStringLiteral("1"));
    QCOMPARE(f.view.hitRate, QStringLiteral("100 %"));
    QCOMPARE(f.show->state().BarTicks, 0);
    const float barAtAnswer = f.view.bar;

    // A second key during the result display changes nothing.
    f.answer(true);
    f.answer(false);
    QCOMPARE(f.show->state().CorrectCount, 1);
    QVERIFY(!f.view.cross);

    f.ticks(21);
    QCOMPARE(f.show->state().Phase, 21);
    QCOMPARE(f.show->state().AskedCount, 1);
    QCOMPARE(f.view.bar, barAtAnswer); // the bar stays where it stopped
    QVERIFY(f.view.log.isEmpty());
    f.show->TimerTick(); // the 22nd tick draws the next question
    QCOMPARE(f.show->state().AskedCount, 2);
    QCOMPARE(f.show->state().Phase, -1);
    QCOMPARE(f.view.log, QStringLiteral("hide;move;show;"));
    QVERIFY(!f.view.circle && !f.view.cross);
    QCOMPARE(f.view.orangeSlots(), 0);
    QCOMPARE(f.view.bar, barAtAnswer); // until the new question's first step
    QCOMPARE(f.endCalls, 0);
}

void TestShow::wrongAnswer()
{
    Fixture f(m_threeQuestions);
    const int wrong = (f.show->state().CorrectSlot + 1) % 5;
    f.answer(false);
    QVERIFY(f.view.cross);
    QVERIFY(!f.view.circle);
    QVERIFY(f.view.orange[static_cast<size_t>(wrong)]);
    QCOMPARE(f.view.correct, QStringLiteral("0"));
    QCOMPARE(f.view.hitRate, QStringLiteral("0 %"));
}

void TestShow::keys_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("slot"); // -1: ignored
    QTest::newRow("main 1") << 49 << 0;
    QTest::newRow("main 3") << 51 << 2;
    QTest::newRow("main 5") << 53 << 4;
    QTest::newRow("keypad 1") << 97 << 0;
    QTest::newRow("keypad 3") << 99 << 2;
    QTest::newRow("keypad 5") << 101 << 4;
    QTest::newRow("main 0") << 48 << -1;
    QTest::newRow("main 6") << 54 << -1;
    QTest::newRow("main 9") << 57 << -1;
    QTest::newRow("keypad 0") << 96 << -1;
    QTest::newRow("keypad 6") << 102 << -1;
    QTest::newRow("letter A") << 65 << -1;
    QTest::newRow("Escape") << 27 << -1;
    QTest::newRow("End (keypad 1 without NumLock)") << 35 << -1;
}

void TestShow::keys()
{
    QFETCH(int, keyCode);
    QFETCH(int, slot);
    for (int mode = 0; mode <= 3; ++mode) {
        Fixture f(m_threeQuestions, static_cast<std::int16_t>(mode));
        f.show->FormKeyDown(keyCode);
        if (slot < 0) {
            QCOMPARE(f.show->state().Phase, -1);
            QCOMPARE(f.view.orangeSlots(), 0);
        } else {
            QCOMPARE(f.show->state().Phase, 0);
            QVERIFY(f.view.orange[static_cast<size_t>(slot)]);
            QVERIFY(f.view.circle != f.view.cross);
        }
        QCOMPARE(f.endCalls, 0);
    }
}

void TestShow::modesEndAfterEnoughRightAnswers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("needed");
    QTest::newRow("study") << 1 << 1;
    QTest::newRow("exam") << 2 << 5;
    QTest::newRow("oni") << 3 << 10;
}

void TestShow::modesEndAfterEnoughRightAnswers()
{
    QFETCH(int, mode);
    QFETCH(int, needed);
    Fixture f(m_threeQuestions, static_cast<std::int16_t>(mode));
    // A time-out and a wrong answer never end the show.
    f.ticks(402 + 22);
    f.answer(false);
    f.ticks(22);
    QCOMPARE(f.endCalls, 0);
    for (int right = 1; right <= needed; ++right) {
        f.ticks(3);
        f.answer(true);
        f.ticks(21);
        QCOMPARE(f.endCalls, 0);
        QVERIFY(f.view.circle); // the circle stays for the result display
        f.show->TimerTick();
        QCOMPARE(f.endCalls, right == needed ? 1 : 0);
    }
    QVERIFY(f.show->ended());
    const auto asked = f.show->state().AskedCount;
    f.ticks(100);
    QCOMPARE(f.show->state().AskedCount, asked);
    QCOMPARE(f.endCalls, 1);
}

void TestShow::normalModeEndsOnlyByPointer()
{
    Fixture f(m_threeQuestions, 0);
    for (int i = 0; i < 30; ++i) {
        f.ticks(2);
        f.answer(true);
        f.ticks(22);
    }
    f.ticks(2000);
    QCOMPARE(f.endCalls, 0);
    QCOMPARE(f.show->state().CorrectCount, 30);
    f.show->FormMouseDown();
    QCOMPARE(f.endCalls, 1);
}

void TestShow::pointer_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QPointF>>("moves");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("click");

    QTest::newRow("first event far away only records") << 0 << QList<QPointF>{{5000, 4000}} << false << false;
    QTest::newRow("8 twips in both axes") << 0 << QList<QPointF>{{100, 100}, {108, 92}} << false << false;
    QTest::newRow("9 twips across") << 0 << QList<QPointF>{{100, 100}, {109, 100}} << true << false;
    QTest::newRow("9 twips down") << 0 << QList<QPointF>{{100, 100}, {100, 91}} << true << false;
    QTest::newRow("slow drift") << 0 << QList<QPointF>{{100, 100}, {108, 100}, {116, 100}, {124, 108}}
                                << false << false;
    QTest::newRow("click") << 0 << QList<QPointF>{} << true << true;
    for (int mode = 1; mode <= 3; ++mode) {
        QTest::addRow("mode %d ignores moves", mode)
            << mode << QList<QPointF>{{0, 0}, {3000, 3000}} << false << false;
        QTest::addRow("mode %d ignores clicks", mode) << mode << QList<QPointF>{} << false << true;
    }
}

void TestShow::pointer()
{
    QFETCH(int, mode);
    QFETCH(QList<QPointF>, moves);
    QFETCH(bool, ends);
    QFETCH(bool, click);
    Fixture f(m_threeQuestions, static_cast<std::int16_t>(mode));
    for (const QPointF& p : moves)
        f.show->FormMouseMove(static_cast<float>(p.x()), static_cast<float>(p.y()));
    if (click)
        f.show->FormMouseDown();
    QCOMPARE(f.endCalls, ends ? 1 : 0);
}

void TestShow::hitRate_data()
{
    QTest::addColumn<qint64>("correct");
    QTest::addColumn<qint64>("asked");
    QTest::addColumn<QString>("text");
    QTest::newRow("1 of 3") << qint64(1) << qint64(3) << "33 %";
    QTest::newRow("2 of 3") << qint64(2) << qint64(3) << "67 %";
    QTest::newRow("1 of 8 ties to even") << qint64(1) << qint64(8) << "12 %";
    QTest::newRow("3 of 8 ties to even") << qint64(3) << qint64(8) << "38 %";
    QTest::newRow("5 of 8") << qint64(5) << qint64(8) << "62 %";
    QTest::newRow("7 of 8") << qint64(7) << qint64(8) << "88 %";
    QTest::newRow("all") << qint64(4) << qint64(4) << "100 %";
    QTest::newRow("none") << qint64(0) << qint64(1) << "0 %";
    QTest::newRow("past 327 right") << qint64(400) << qint64(500) << "80 %";
    QTest::newRow("past 32767 asked") << qint64(30000) << qint64(60000) << "50 %";
}

void TestShow::hitRate()
{
    QFETCH(qint64, correct);
    QFETCH(qint64, asked);
    QFETCH(QString, text);
    QCOMPARE(QuizShow::hitRateText(correct, asked), text);
}

void TestShow::countsGoOnPastShortRange()
{
    Fixture f(m_threeQuestions);
    f.show->state().CorrectCount = 32767;
    f.show->state().AskedCount = 40000;
    f.answer(true);
    QCOMPARE(f.view.correct, QStringLiteral("32768"));
    QCOMPARE(f.view.hitRate, QStringLiteral("82 %"));
    f.ticks(22);
    QCOMPARE(f.show->state().AskedCount, 40001);
}

void TestShow::marksAndHighlight()
{
    Fixture f(m_threeQuestions);
    f.show->ShowMark(-1, -1);
    QVERIFY(f.view.circle && !f.view.cross);
    f.show->ShowMark(1, -1); // only -1 means the circle
    QVERIFY(f.view.circle && f.view.cross);
    f.show->ShowMark(-1, 0);
    QVERIFY(!f.view.circle && f.view.cross);

    f.show->HighlightChoice(2);
    f.show->HighlightChoice(4);
    QCOMPARE(f.view.orange, (std::array<bool, 5>{false, false, true, false, true}));
    f.show->HighlightChoice(5);
    QCOMPARE(f.view.orangeSlots(), 0);
    f.show->HighlightChoice(1);
    f.show->HighlightChoice(-1);
    QCOMPARE(f.view.orangeSlots(), 0);
}

void TestShow::noRightSlotMakesEveryPickWrong()
{
    // The second question's answer 7 names no choice; the first one's does,
    // so the study mode stays.
    Fixture f(writeSet("mixed.qiz", {"1", "7"}), 1);
    QCOMPARE(f.settings.Mode, std::int16_t(1));
    for (int slot = 0; slot < 5; ++slot) {
        // A right answer to the first question leaves its slot behind.
        do {
            f.show->state().Phase = -1;
            f.show->ShowQuestion();
            if (f.view.doc == u"Q0")
                f.answer(true);
        } while (f.view.doc != u"Q1");
        const std::int64_t right = f.show->state().CorrectCount;
        f.show->state().Phase = -1;
        f.show->FormKeyDown(49 + slot);
        QVERIFY(f.view.cross);
        QVERIFY(!f.view.circle);
        QCOMPARE(f.show->state().CorrectCount, right);
    }
}

void TestShow::normalModeWithoutAnyRightChoice_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("mode");
    QTest::newRow("answer 7") << QStringList{"7"} << 0;
    QTest::newRow("answers 0 and 6") << QStringList{"0", "6"} << 0;
    QTest::newRow("one answer 5 among them") << QStringList{"0", "5", "7"} << 3;
}

void TestShow::normalModeWithoutAnyRightChoice()
{
    QFETCH(QStringList, answers);
    QFETCH(int, mode);
    Fixture f(writeSet("answers.qiz", answers), 3);
    QCOMPARE(f.settings.Mode, std::int16_t(mode));
    QCOMPARE(f.view.mode, QuizShow::modeName(mode));
}

void TestShow::panelPlacement()
{
    Fixture f(m_threeQuestions);
    f.view.inner = QSizeF(641 * 15.0, 489 * 15.0);
    f.random.append({}); // nothing scripted: seeded values
    for (int i = 0; i < 200; ++i) {
        f.view.log.clear();
        f.show->PlaceQuestion();
        QCOMPARE(f.view.log, QStringLiteral("hide;move;show;"));
        QVERIFY(f.view.panelLeft >= 0 && f.view.panelLeft + kPanelWidthTwips <= 641 * 15);
        QVERIFY(f.view.panelTop >= 0 && f.view.panelTop + kPanelHeightTwips <= 489 * 15);
    }
    // Top takes the first value, left the second.
    ScriptedRandom scripted({0.5f, 0.25f});
    RecordingView view;
    view.inner = QSizeF(20000, 10000);
    Settings settings;
    QuizShow show(*f.bank, settings, view, scripted, {});
    show.PlaceQuestion();
    QCOMPARE(view.panelTop, (10000 - kPanelHeightTwips) * 0.5f);
    QCOMPARE(view.panelLeft, (20000 - kPanelWidthTwips) * 0.25f);
}

void TestShow::questionIndexDistribution()
{
    Fixture f(m_threeQuestions);
    std::array<int, 3> seen{};
    const int draws = 40000;
    for (int i = 0; i < draws; ++i) {
        f.show->ShowQuestion();
        seen[static_cast<size_t>(f.view.doc.mid(1).toInt())]++;
    }
    QVERIFY(qAbs(seen[0] / double(draws) - 0.25) < 0.015);
    QVERIFY(qAbs(seen[1] / double(draws) - 0.5) < 0.015);
    QVERIFY(qAbs(seen[2] / double(draws) - 0.25) < 0.015);
}

void TestShow::slotDistribution()
{
    Fixture f(m_threeQuestions);
    // share[choice][slot]
    std::array<std::array<int, 5>, 5> count{};
    const int draws = 40000;
    for (int i = 0; i < draws; ++i) {
        f.show->ShowQuestion();
        QStringList shown;
        for (int slot = 0; slot < 5; ++slot) {
            const int choice = f.view.choices[static_cast<size_t>(slot)].mid(1).toInt();
            shown << f.view.choices[static_cast<size_t>(slot)];
            count[static_cast<size_t>(choice)][static_cast<size_t>(slot)]++;
        }
        shown.sort();
        QCOMPARE(shown, (QStringList{"c0", "c1", "c2", "c3", "c4"}));
        // The slot marked correct shows the question's answer.
        const int q = f.view.doc.mid(1).toInt();
        QCOMPARE(f.view.choices[static_cast<size_t>(f.show->state().CorrectSlot)],
                 QStringLiteral("c%1").arg(q));
    }
    auto share = [&](int choice, int slot) { return count[size_t(choice)][size_t(slot)] / double(draws); };
    QVERIFY(qAbs(share(0, 0) - 0.125) < 0.015);
    QVERIFY(qAbs(share(4, 0) - 0.125) < 0.015);
    QVERIFY(qAbs(share(0, 4) - 1.0 / 3) < 0.02);
    for (int choice = 1; choice <= 3; ++choice) {
        QVERIFY(qAbs(share(choice, 0) - 0.25) < 0.015);
        QVERIFY(qAbs(share(choice, 4) - 0.11) < 0.015);
    }
}

void TestShow::windowsKeyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("scanCode");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<KeySource>("source");
    QTest::addColumn<int>("code");

    const int keypad = int(Qt::KeypadModifier);
    QTest::newRow("x11 main 1") << int(Qt::Key_1) << 0 << 10 << 0x31 << KeySource::X11 << 49;
    QTest::newRow("x11 shift 1") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 10 << 0x21
                                 << KeySource::X11 << 49;
    QTest::newRow("x11 azerty 1") << int(Qt::Key_Ampersand) << 0 << 10 << 0x26 << KeySource::X11 << 49;
    QTest::newRow("x11 main 0") << int(Qt::Key_0) << 0 << 19 << 0x30 << KeySource::X11 << 48;
    QTest::newRow("x11 keypad 3") << int(Qt::Key_3) << keypad << 89 << 0xffb3 << KeySource::X11 << 99;
    QTest::newRow("x11 keypad End") << int(Qt::Key_End) << keypad << 87 << 0xff9c << KeySource::X11 << 0;
    QTest::newRow("x11 letter") << int(Qt::Key_A) << 0 << 38 << 0x61 << KeySource::X11 << 0;
    QTest::newRow("windows main 5") << int(Qt::Key_Percent) << int(Qt::ShiftModifier) << 6 << 0x35
                                    << KeySource::Windows << 53;
    QTest::newRow("windows keypad 1") << int(Qt::Key_1) << keypad << 79 << 0x61 << KeySource::Windows << 97;
    QTest::newRow("windows F1") << int(Qt::Key_F1) << 0 << 59 << 0x70 << KeySource::Windows << 0;
    QTest::newRow("offscreen main 2") << int(Qt::Key_2) << 0 << 0 << 0 << KeySource::Other << 50;
    QTest::newRow("offscreen keypad 4") << int(Qt::Key_4) << keypad << 0 << 0 << KeySource::Other << 100;
    QTest::newRow("offscreen letter") << int(Qt::Key_Q) << 0 << 0 << 0 << KeySource::Other << 0;
}

void TestShow::windowsKeyCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, scanCode);
    QFETCH(int, virtualKey);
    QFETCH(KeySource, source);
    QFETCH(int, code);
    QCOMPARE(
        windowsKeyCode(key, Qt::KeyboardModifiers(modifiers), quint32(scanCode), quint32(virtualKey), source),
        code);
}

void TestShow::displayTextDropsControls()
{
    QCOMPARE(displayText(QStringLiteral("question\r")), QStringLiteral("question"));
    QCOMPARE(displayText(QString("a") + QChar(0) + "b\tc\nd\x7f"), QStringLiteral("ab\tc\nd"));
    QCOMPARE(displayText(QStringLiteral("<b>&amp;</b>")), QStringLiteral("<b>&amp;</b>"));
}

void TestShow::displayFactors_data()
{
    QTest::addColumn<DisplaySize>("size");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("factor");
    QTest::newRow("standard on 4K") << DisplaySize::Standard << 2160 << 1;
    QTest::newRow("large on a small screen") << DisplaySize::Large << 768 << 2;
    QTest::newRow("fit, smaller than the panel") << DisplaySize::FitScreen << 400 << 1;
    QTest::newRow("fit, 1080") << DisplaySize::FitScreen << 1080 << 1;
    QTest::newRow("fit, 60 % is twice the panel") << DisplaySize::FitScreen << 1630 << 2;
    QTest::newRow("fit, just under twice") << DisplaySize::FitScreen << 1629 << 1;
    QTest::newRow("fit, 4K") << DisplaySize::FitScreen << 2160 << 2;
    QTest::newRow("fit, 8K") << DisplaySize::FitScreen << 4320 << 5;
}

void TestShow::displayFactors()
{
    QFETCH(DisplaySize, size);
    QFETCH(int, screenHeight);
    QFETCH(int, factor);
    QCOMPARE(displayFactor(size, screenHeight), factor);
}

void TestShow::questionEnds_data()
{
    QTest::addColumn<QString>("set"); // three questions; none: no slot shows the answer; missing: error entry
    QTest::addColumn<bool>("showAnswer");
    QTest::addColumn<bool>("learn");
    QTest::addColumn<QString>("how"); // right, wrong, time-out, pointer
    QTest::addColumn<int>("end");     // -1: nothing recorded
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("green");
    const auto row = [](const char* name, const char* set, bool showAnswer, const char* how, QuestionEnd end,
                        int ticks, bool green, bool learn = false) {
        QTest::newRow(name) << QString::fromLatin1(set) << showAnswer << learn << QString::fromLatin1(how)
                            << int(end) << ticks << green;
    };
    row("right, shown", "three", true, "right", QuestionEnd::Right, 7, false);
    row("wrong, shown", "three", true, "wrong", QuestionEnd::Wrong, 7, true);
    row("wrong, not shown", "three", false, "wrong", QuestionEnd::Wrong, 7, false);
    row("time-out, shown", "three", true, "time-out", QuestionEnd::TimedOut, kBarSteps, true);
    row("time-out, not shown", "three", false, "time-out", QuestionEnd::TimedOut, kBarSteps, false);
    // Learning always shows the right answer after a miss.
    row("wrong, learning", "three", false, "wrong", QuestionEnd::Wrong, 7, true, true);
    row("time-out, learning", "three", false, "time-out", QuestionEnd::TimedOut, kBarSteps, true, true);
    row("right, learning", "three", false, "right", QuestionEnd::Right, 7, false, true);
    row("pointer ends it open", "three", true, "pointer", QuestionEnd::Abandoned, 7, false);
    row("no right slot, shown", "none", true, "wrong", QuestionEnd::Wrong, 7, false);
    row("error entry", "missing", true, "wrong", QuestionEnd(-1), 7, false);
}

void TestShow::questionEnds()
{
    QFETCH(QString, set);
    QFETCH(bool, showAnswer);
    QFETCH(bool, learn);
    QFETCH(QString, how);
    QFETCH(int, end);
    QFETCH(int, ticks);
    QFETCH(bool, green);
    const QString file = set == u"three"  ? m_threeQuestions
                         : set == u"none" ? writeSet("none.qiz", {"9"})
                                          : m_dir.filePath("missing.qiz");
    Fixture f(file);
    f.settings.ShowAnswer = showAnswer;
    f.settings.Learn = learn;
    QList<AskedQuestion> asked;
    f.show->setAnswerSink([&asked](const AskedQuestion& question) { asked << question; });
    const auto play = [&how](Fixture& fixture) {
        fixture.ticks(2 * 7 + 1); // seven steps of the bar
        if (how == u"right" || how == u"wrong")
            fixture.answer(how == u"right");
        else if (how == u"time-out")
            fixture.ticks(2 * (kBarSteps - 7) + 2);
        else
            fixture.show->FormMouseDown();
    };
    const int correctSlot = f.show->state().CorrectSlot;
    const int wrongSlot = (correctSlot + 1) % 5;
    play(f);

    QCOMPARE(asked.size(), end < 0 ? 0 : 1);
    if (end < 0)
        return;
    const AskedQuestion& a = asked.first();
    QCOMPARE(int(a.end), end);
    QCOMPARE(a.barTicks, ticks);
    QCOMPARE(a.mode, 0);
    QCOMPARE(a.answerShown, green);
    QCOMPARE(f.view.doc, QStringLiteral("Q%1").arg(a.question));
    QCOMPARE(a.pickedSlot, how == u"wrong" ? wrongSlot : -1);
    if (how == u"wrong")
        QCOMPARE(f.view.choices[static_cast<size_t>(a.pickedSlot)],
                 QStringLiteral("c%1").arg(a.pickedChoice));
    else
        QCOMPARE(a.pickedChoice, -1);
    for (int slot = 0; slot < 5; ++slot)
        QCOMPARE(f.view.green[static_cast<size_t>(slot)], green && slot == correctSlot);

    // The mark goes with the cross; the random draws are those of the show
    // without it.
    if (how != u"pointer") {
        f.ticks(kLastResultPhase + 2);
        QVERIFY(!f.view.cross);
        QCOMPARE(f.view.green, (std::array<bool, 5>{}));
        Fixture plain(file);
        play(plain);
        plain.ticks(kLastResultPhase + 2);
        QCOMPARE(f.random.drawn(), plain.random.drawn());
        QCOMPARE(f.view.doc, plain.view.doc);
    }
}

void TestShow::learnOffDrawsAsWithoutHistory()
{
    // A history that knows every question of a set of 40, the first ten
    // missed an hour before: with LEARN on they would come first.
    QStringList answers;
    for (int q = 0; q < 40; ++q)
        answers << QString::number(q % 5 + 1);
    const QString file = writeSet("forty.qiz", answers);
    constexpr std::int64_t kNow = 1'800'000'000;
    QuestionBank bank;
    std::int16_t mode = 0;
    QCOMPARE(LoadQuestion(bank, mode, file), LoadOutcome::Ok);
    std::vector<AnswerRecord> records(40);
    std::vector<QuestionKey> keys;
    for (int q = 0; q < 40; ++q) {
        AnswerRecord& a = records[size_t(q)];
        a = {file, bank.SetTitle, bank.QuestionText[q], bank.Choices[q], bank.AnswerIndex[q]};
        a.outcome = q < 10 ? AnswerOutcome::Wrong : AnswerOutcome::Right;
        a.answerShown = true;
        a.answeredAt = kNow - 3600;
        keys.push_back({a.questionText, a.choices, a.answerIndex});
    }
    HistoryStore store;
    store.open(m_dir.filePath("history.db"), HistoryAccess::ReadWrite);
    QVERIFY(store.record(records));
    const std::vector<QuestionSummary> summaries = store.summaries(file, bank.SetTitle, keys);

    // 1,000 questions: what was drawn, the choices' order, where the panel
    // went, and at the end the number of random values drawn.
    const auto play = [&](bool learn, bool withHistory) {
        Fixture f(file);
        // A show of its own, with LEARN set before the set is loaded.
        f.random = ScriptedRandom({0.0f, 0.99999994f, 0.5f, 0.125f, 0.875f}, 7);
        f.settings.Learn = learn;
        f.show = std::make_unique<QuizShow>(*f.bank, f.settings, f.view, f.random, [] {});
        f.show->setClock([] { return kNow; });
        f.show->FormLoad({});
        if (withHistory)
            f.show->loadHistory(summaries);
        QStringList log;
        for (int i = 0; i < 1000; ++i) {
            log << f.view.doc + u'|' + QStringList(f.view.choices.begin(), f.view.choices.end()).join(u',') +
                       u'|' + QString::number(f.view.panelLeft) + u',' + QString::number(f.view.panelTop);
            f.ticks(3);
            if (i % 97 == 0)
                f.ticks(2 * kBarSteps); // time-out
            else
                f.answer(i % 3 != 0);
            f.ticks(kLastResultPhase + 2);
        }
        return log << QString::number(f.random.drawn());
    };
    const QStringList without = play(false, false);
    QCOMPARE(play(false, true), without);
    QVERIFY(play(true, true) != without);
}

QTEST_GUILESS_MAIN(TestShow)
#include "test_show.moc"
