#include "bank.h"
#include "testutil.h"

#include <QTest>

#include <memory>

using namespace montera;

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

void TestLoader::nextLoadForgetsThePrevious()
{
    QStringList big{"S=A set", "C=A creator", "V=A version"};
    for (int q = 0; q < 5; ++q)
        big << QStringLiteral("Q=A%1").arg(q) << "A1=x"
            << "A2=y"
            << "A3=z"
            << "A4=w"
            << "A5=v"
            << "A =5";
    testutil::writeBytes(m_dir.filePath("a.qiz"), testutil::crlfText(big));
    testutil::writeBytes(m_dir.filePath("b.qiz"), testutil::crlfText({"Q=B0", "A1=only"}));

    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 1;
    QCOMPARE(LoadQuestion(*bank, mode, m_dir.filePath("a.qiz")), LoadOutcome::Ok);
    QCOMPARE(bank->LastQuestion, 4);
    QCOMPARE(LoadQuestion(*bank, mode, m_dir.filePath("b.qiz")), LoadOutcome::Ok);
    QCOMPARE(bank->LastQuestion, 0);
    QCOMPARE(bank->QuestionText[0], QStringLiteral("B0"));
    QCOMPARE(bank->Choices[0][1], QString());
    QCOMPARE(bank->AnswerIndex[0], std::int16_t(0));
    for (int q = 1; q < kBankCapacity; ++q) {
        QVERIFY(bank->QuestionText[q].isEmpty());
        QVERIFY(bank->Choices[q][0].isEmpty());
        QCOMPARE(bank->AnswerIndex[q], std::int16_t(0));
    }
    QCOMPARE(bank->SetTitle, QString());
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
