#include "bank.h"
#include "read5tq.h"
#include "set5tq.h"
#include "testutil.h"

#include <QTest>

#include <memory>

using namespace montera;
using testutil::Set5tq;

Q_DECLARE_METATYPE(montera::LoadOutcome)

namespace {

const QStringList kOneQuestion{"S=Title", "C=Creator", "V=1.0", "Q=What?", "A1=a",
                               "A2=b",    "A3=c",      "A4=d",  "A5=e",    "A =3"};

} // namespace

class TestLoader : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void errorKeepsWhatTheReaderLeft();
    void nextLoadForgetsThePrevious_data();
    void nextLoadForgetsThePrevious();
    void globalBankIsOne();

private:
    QTemporaryDir m_dir;
};

void TestLoader::outcomes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("create");
    QTest::addColumn<LoadOutcome>("outcome");
    QTest::addColumn<QString>("text0");

    const QString ok = "What?";
    QTest::newRow("empty name") << "" << false << LoadOutcome::Unrecognised << kErrorNoSet;
    QTest::newRow("txt ending") << "set.txt" << true << LoadOutcome::Unrecognised << kErrorNoSet;
    QTest::newRow("two characters") << "iz" << false << LoadOutcome::Unrecognised << kErrorNoSet;
    QTest::newRow("qiz") << "a.qiz" << true << LoadOutcome::Ok << ok;
    QTest::newRow("QIZ") << "b.QIZ" << true << LoadOutcome::Ok << ok;
    QTest::newRow("Qiz") << "c.Qiz" << true << LoadOutcome::Ok << ok;
    QTest::newRow("no dot") << "setqiz" << true << LoadOutcome::Ok << ok;
    QTest::newRow("missing qiz") << "missing.qiz" << false << LoadOutcome::Unreadable << kErrorUnreadable;
    QTest::newRow("missing 5tx") << "missing.5tx" << false << LoadOutcome::Unreadable << kErrorUnreadable;
    QTest::newRow("missing 5TQ") << "missing.5TQ" << false << LoadOutcome::Unreadable << kErrorUnreadable;
}

void TestLoader::outcomes()
{
    QFETCH(QString, name);
    QFETCH(bool, create);
    QFETCH(LoadOutcome, outcome);
    QFETCH(QString, text0);

    const QString path = name.isEmpty() ? QString() : m_dir.filePath(name);
    if (create)
        testutil::writeBytes(path, testutil::crlfText(kOneQuestion));
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 3;
    QCOMPARE(LoadQuestion(*bank, mode, path), outcome);
    QCOMPARE(bank->QuestionText[0], text0);
    QCOMPARE(bank->LastQuestion, 0);
    if (outcome == LoadOutcome::Ok) {
        QCOMPARE(mode, std::int16_t(3));
        QCOMPARE(bank->AnswerIndex[0], std::int16_t(2));
        QCOMPARE(bank->SetTitle, QStringLiteral("Title"));
    } else {
        QCOMPARE(mode, std::int16_t(0));
        QCOMPARE(bank->AnswerIndex[0], std::int16_t(-1));
        QCOMPARE(bank->QuestionTitle[0], QString());
        QCOMPARE(bank->Choices[0][0], QString());
        QCOMPARE(bank->SetTitle, QString());
    }
}

void TestLoader::errorKeepsWhatTheReaderLeft()
{
    // Set strings but no question: invalid, and the strings stay as read.
    const QString path = m_dir.filePath("noquestion.qiz");
    testutil::writeBytes(path, testutil::crlfText({"S=T", "C=C", "V=V"}));
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 2;
    QCOMPARE(LoadQuestion(*bank, mode, path), LoadOutcome::Invalid);
    QCOMPARE(bank->QuestionText[0], kErrorInvalid);
    QCOMPARE(bank->AnswerIndex[0], std::int16_t(-1));
    QCOMPARE(bank->LastQuestion, 0);
    QCOMPARE(mode, std::int16_t(0));
    QCOMPARE(bank->SetTitle, QStringLiteral("T"));
    QCOMPARE(bank->SetCreator, QStringLiteral("C"));
    QCOMPARE(bank->SetVersion, QStringLiteral("V"));
}

// A set of five questions and then one of a single question in the same
// format: nothing of the first may remain, whichever reader filled the bank.
void TestLoader::nextLoadForgetsThePrevious_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("big");
    QTest::addColumn<QByteArray>("small");

    QStringList qiz{"S=A set", "C=A creator", "V=A version"};
    QStringList fiveTx{"5TX", "", "", "A title", "5"};
    Set5tq fiveTq;
    fiveTq.section(0, "A", 5, 8);
    for (int q = 0; q < 5; ++q) {
        qiz << QStringLiteral("Q=A%1").arg(q) << "A1=x"
            << "A2=y"
            << "A3=z"
            << "A4=w"
            << "A5=v"
            << "A =5";
        fiveTx << QStringLiteral("A%1").arg(q) << "x"
               << "y"
               << "z"
               << "w"
               << "v";
        fiveTq.question(8 + q, QStringLiteral("A%1").arg(q), {"x", "y", "z", "w", "v"});
    }
    QTest::newRow("qiz") << "qiz" << testutil::crlfText(qiz) << testutil::crlfText({"Q=B0", "A1=only"});
    QTest::newRow("5tx") << "5tx" << testutil::crlfText(fiveTx)
                         << testutil::crlfText({"5TX", "", "", "", "1", "B0", "only", "", "", "", ""});
    QTest::newRow("5tq") << "5tq" << fiveTq.file(13)
                         << Set5tq().section(0, "B", 1, 8).question(8, "B0", {"only"}).file(9);
}

void TestLoader::nextLoadForgetsThePrevious()
{
    QFETCH(QString, ending);
    QFETCH(QByteArray, big);
    QFETCH(QByteArray, small);
    testutil::writeBytes(m_dir.filePath("a." + ending), big);
    testutil::writeBytes(m_dir.filePath("b." + ending), small);

    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 1;
    QCOMPARE(LoadQuestion(*bank, mode, m_dir.filePath("a." + ending)), LoadOutcome::Ok);
    QCOMPARE(bank->LastQuestion, 4);
    QCOMPARE(LoadQuestion(*bank, mode, m_dir.filePath("b." + ending)), LoadOutcome::Ok);
    QCOMPARE(bank->LastQuestion, 0);
    QVERIFY(bank->QuestionText[0].startsWith(u"B0"));
    QVERIFY(bank->Choices[0][1].isEmpty() || bank->Choices[0][1] == u"\r");
    QCOMPARE(bank->AnswerIndex[0], std::int16_t(0));
    for (int q = 1; q < kBankCapacity; ++q) {
        QVERIFY(bank->QuestionText[q].isEmpty());
        QVERIFY(bank->QuestionTitle[q].isEmpty());
        for (const QString& choice : bank->Choices[q])
            QVERIFY(choice.isEmpty());
        QCOMPARE(bank->AnswerIndex[q], std::int16_t(0));
    }
    QCOMPARE(bank->SetCreator, QString());
    QCOMPARE(bank->SetVersion, QString());
}

void TestLoader::globalBankIsOne()
{
    QCOMPARE(&globalBank(), &globalBank());
    QCOMPARE(int(globalBank().QuestionText.size()), kBankCapacity);
}

QTEST_GUILESS_MAIN(TestLoader)
#include "test_loader.moc"
