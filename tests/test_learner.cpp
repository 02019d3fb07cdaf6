#include "learnermodel.h"

#include <QTest>

#include <cmath>

using namespace montera::learner;

// The simulated learner of bench/learner, whose scores judge the draw: one
// question, answered with scripted values, must follow the model's formulas
// exactly, since traces of it are replayed by an independent model.
class TestLearner : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
};

using Steps = QList<double>; // t, u, shown (0 or 1) for each answer

void TestLearner::answers_data()
{
    QTest::addColumn<double>("g");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<bool>("right");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("learnedAt");

    const double p1 = std::exp(-(0.54 - 0.375) / 0.5);
    QTest::newRow("never learned, a guess below 1/5")
        << 1.0 << Steps{0.375, 0.1999, 0} << true << 0.5 << 0.375;
    QTest::newRow("never learned, u at 1/5 misses") << 1.0 << Steps{0.375, 0.2, 0} << false << 0.0 << 0.0;
    QTest::newRow("never learned, a miss shown") << 1.5 << Steps{0.375, 0.9, 1} << false << 0.75 << 0.375;
    // Recall p = exp(-0.165 / 0.5); right below p + (1 - p) / 5.
    QTest::newRow("recalled: stability times 1 + G g")
        << 1.0 << Steps{0.375, 0.1, 0, 0.54, p1 + (1 - p1) / 5 - 1e-12, 0} << true << 1.5 << 0.54;
    QTest::newRow("recall missed, hidden: nothing changes")
        << 1.0 << Steps{0.375, 0.1, 0, 0.54, p1 + (1 - p1) / 5, 0} << false << 0.5 << 0.375;
    QTest::newRow("recall missed, shown: back to g / 2")
        << 1.0 << Steps{0.375, 0.1, 0, 0.54, 0.1, 0, 0.83, 0.99, 1} << false << 0.5 << 0.83;
    // Right twice within one show (t - l = 0): the stability keeps growing.
    QTest::newRow("right twice at one time")
        << 0.5 << Steps{1.375, 0.0, 0, 1.375, 0.0, 0} << true << 0.5 << 1.375;
    // After 1000 days at a stability of 0.25 the exp underflows to 0: the
    // right answer is a guess and the stability starts again at g / 2.
    QTest::newRow("an exp that underflows counts as never learned")
        << 0.5 << Steps{0.0, 0.0, 0, 1000.0, 0.0, 0} << true << 0.25 << 1000.0;
}

void TestLearner::answers()
{
    QFETCH(double, g);
    QFETCH(Steps, steps);
    QFETCH(bool, right);
    QFETCH(double, stability);
    QFETCH(double, learnedAt);

    Learner learner({g}, 2.0);
    bool last = false;
    for (qsizetype i = 0; i + 2 < steps.size(); i += 3)
        last = learner.answer(0, steps[i], steps[i + 1], steps[i + 2] != 0 ? Reveal::Shown : Reveal::Hidden);
    QCOMPARE(last, right);
    // Exact: the model's arithmetic is fixed to the last digit.
    QVERIFY2(learner.stability(0) == stability, qPrintable(QString::number(learner.stability(0), 'g', 17)));
    QVERIFY(learner.learnedAt(0) == learnedAt);
    // The score a day later: the recall then, 0 for a question never learned.
    const double t = learnedAt + 1.0;
    QVERIFY(learner.score(t) == (stability > 0 ? std::exp(-(t - learnedAt) / stability) : 0.0));
}

QTEST_GUILESS_MAIN(TestLearner)
#include "test_learner.moc"
