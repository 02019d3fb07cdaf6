// A long show in the real main window, offscreen: 10,000 questions driven
// through the window's own timer slot, with memory that stays flat.

#include "frmmain.h"
#include "globals.h"
#include "random.h"
#include "showwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>

#include <unistd.h>

using namespace montera;

namespace {

// The same sequence on every run, so that a failure can be replayed.
class SeededRandom final : public RandomSource {
public:
    void seedFromClock() override {}
    float next() override { return unitFloat(m_generator); }

private:
    QRandomGenerator m_generator{20021313};
};

// The resident set of this process in bytes, from /proc.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void tenThousandQuestions();
};

void TestSoak::tenThousandQuestions()
{
    constexpr int kQuestions = 10000;
    constexpr int kTimeoutEvery = 10; // 1,000 questions run out unanswered
    constexpr int kWarmUp = 500;
    constexpr qint64 kAllowedGrowth = 1024 * 1024;

    globalSettings() = Settings();
    globalSettings().SetPath = QStringLiteral(MONTERA_SAMPLES "/sample.qiz");
    SeededRandom random;
    int ends = 0;
    frmMain form;
    form.resize(1024, 768);
    ShowWindow& window = ShowWindow::attach(form, random, {}, [&ends] { ++ends; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const ShowState& state = window.show().state();
    QCOMPARE(state.AskedCount, 1);

    QElapsedTimer clock;
    clock.start();
    qint64 baseline = 0;
    qint64 peak = 0;
    int answered = 0;
    int right = 0;
    for (int question = 1; question <= kQuestions; ++question) {
        if (question % kTimeoutEvery == 0) {
            while (state.Phase < 0)
                window.timMainTimer();
        } else {
            // The key arrives between the first and the second tick and is
            // handled inside the second, as a viewer's key would be.
            window.timMainTimer();
            const bool answerRight = answered++ % 2 == 0;
            right += answerRight ? 1 : 0;
            const int slot = answerRight ? state.CorrectSlot : (state.CorrectSlot + 1) % 5;
            QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_1 + slot,
                                                             Qt::NoModifier, QString::number(slot + 1)));
            window.timMainTimer();
            // Judged inside the tick, which then counted the first step of
            // the result display.
            QCOMPARE(state.Phase, 1);
        }
        if (question % kWarmUp == 0) {
            const qint64 resident = residentBytes();
            if (question == kWarmUp)
                baseline = resident;
            peak = std::max(peak, resident);
            qInfo("after %5d questions: %lld KiB resident, %lld s", question, resident / 1024,
                  clock.elapsed() / 1000);
        }
        if (question == kQuestions)
            break;
        while (state.AskedCount == question)
            window.timMainTimer();
    }

    QCOMPARE(ends, 0);
    QCOMPARE(state.AskedCount, kQuestions);
    QCOMPARE(right, 4500);
    QCOMPARE(form.lblCANum->text(), QStringLiteral("4500"));
    QCOMPARE(form.lblCAPer->text(), QStringLiteral("45 %"));
    qInfo("resident growth after the first %d questions: %lld KiB", kWarmUp, (peak - baseline) / 1024);
    QVERIFY2(peak - baseline <= kAllowedGrowth, "memory grew by more than 1 MiB");
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
