#include "bank.h"
#include "fileutil.h"
#include "readers.h"
#include "testutil.h"

#include <QTest>

#include <memory>

using namespace montera;

namespace {

constexpr auto summary = testutil::bankSummary;

QStringList withEnd(QStringList lines)
{
    lines << QString(); // ReadTextLines always appends it
    return lines;
}

} // namespace

class TestQiz : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void capacity();
    void sampleSetLoads();
};

void TestQiz::read_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("setStrings"); // title, creator, version

    const QStringList five{"A1=a", "A2=b", "A3=c", "A4=d", "A5=e"};
    QTest::newRow("one full question") << QStringList{"S=T", "Q=X"} + five + QStringList{"A =2"} << 1
                                       << QStringList{"T|X|a,b,c,d,e|1"} << QStringList{"T", "", ""};
    QTest::newRow("header strings") << QStringList{"[Info]", "S=T", "C=Me", "V=2.0", "Q=X", "A =1"} << 1
                                    << QStringList{"T|X|,,,,|0"} << QStringList{"T", "Me", "2.0"};
    QTest::newRow("empty line ends the set") << QStringList{"Q=1", "A =1", "", "Q=2", "A =1"} << 1
                                             << QStringList{"|1|,,,,|0"} << QStringList{"", "", ""};
    QTest::newRow("B ends the set") << QStringList{"Q=1", "B=x", "Q=2"} << 1 << QStringList{"|1|,,,,|0"}
                                    << QStringList{"", "", ""};
    QTest::newRow("lower case ends the set")
        << QStringList{"Q=1", "q=2", "Q=3"} << 1 << QStringList{"|1|,,,,|0"} << QStringList{"", "", ""};
    QTest::newRow("brackets skipped anywhere")
        << QStringList{"[a]", "Q=1", "[b]", "A1=x", "[c]", "Q=2"} << 2
        << QStringList{"|1|x,,,,|0", "|2|,,,,|0"} << QStringList{"", "", ""};
    QTest::newRow("later S changes later titles only")
        << QStringList{"S=One", "Q=1", "S=Two", "Q=2"} << 2 << QStringList{"One|1|,,,,|0", "Two|2|,,,,|0"}
        << QStringList{"Two", "", ""};
    QTest::newRow("no answer line: first choice")
        << QStringList{"Q=1", "A1=x", "A3=z"} << 1 << QStringList{"|1|x,,z,,|0"} << QStringList{"", "", ""};
    QTest::newRow("Q without =") << QStringList{"Q", "A =1"} << 1 << QStringList{"||,,,,|0"}
                                 << QStringList{"", "", ""};
    QTest::newRow("no question") << QStringList{"S=T", "C=C", "V=V"} << 0 << QStringList{}
                                 << QStringList{"T", "C", "V"};
    QTest::newRow("empty file") << QStringList{} << 0 << QStringList{} << QStringList{"", "", ""};
    QTest::newRow("answers without range check")
        << QStringList{"Q=1", "A =7", "Q=2", "A =0", "Q=3", "A = 4 ", "Q=4", "A =-32767"} << 4
        << QStringList{"|1|,,,,|6", "|2|,,,,|-1", "|3|,,,,|3", "|4|,,,,|-32768"} << QStringList{"", "", ""};
    QTest::newRow("answers that are no number")
        << QStringList{"Q=1", "A =x", "Q=2", "A =", "Q=3", "A =32768", "Q=4", "A =2.5", "Q=5", "A"} << 5
        << QStringList{"|1|,,,,|-1", "|2|,,,,|-1", "|3|,,,,|-1", "|4|,,,,|-1", "|5|,,,,|0"}
        << QStringList{"", "", ""};
    QTest::newRow("repeated line overwrites") << QStringList{"Q=1", "A2=x", "A2=y", "A =1", "A =3"} << 1
                                              << QStringList{"|1|,y,,,|2"} << QStringList{"", "", ""};
    QTest::newRow("choices in any order")
        << QStringList{"Q=1", "A5=e", "A1=a"} << 1 << QStringList{"|1|a,,,,e|0"} << QStringList{"", "", ""};
    QTest::newRow("A lines that name nothing are ignored")
        << QStringList{"A1=before", "A =4", "Q=1", "A0=z", "A6=z", "AX=z", "A=z", "A"} << 1
        << QStringList{"|1|,,,,|0"} << QStringList{"", "", ""};
    QTest::newRow("value keeps later = and blanks")
        << QStringList{"Q = a=b ", "A1==x"} << 1 << QStringList{"| a=b |=x,,,,|0"} << QStringList{"", "", ""};
    QTest::newRow("characters between tag and = unexamined")
        << QStringList{"SETNAME=T", "Question=1", "A1 choice=x", "A answer=1"} << 1
        << QStringList{"T|1|x,,,,|0"} << QStringList{"T", "", ""};
}

void TestQiz::read()
{
    QFETCH(QStringList, lines);
    QFETCH(int, result);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, setStrings);

    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(ReadQIZ(*bank, withEnd(lines)), result);
    QCOMPARE(bank->LastQuestion, result - 1);
    QCOMPARE(summary(*bank, result), questions);
    QCOMPARE((QStringList{bank->SetTitle, bank->SetCreator, bank->SetVersion}), setStrings);
    // Nothing is written past the questions read.
    QCOMPARE(bank->QuestionText[result], QString());
}

void TestQiz::capacity()
{
    QStringList lines;
    for (int q = 0; q < kBankCapacity + 1; ++q)
        lines << QStringLiteral("Q=%1").arg(q) << QStringLiteral("A1=c%1").arg(q) << "A =1";
    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(ReadQIZ(*bank, withEnd(lines)), kBankCapacity);
    QCOMPARE(bank->LastQuestion, kBankCapacity - 1);
    // The 2049th question's choice line does not reach question 2047.
    QCOMPARE(bank->QuestionText[2047], QStringLiteral("2047"));
    QCOMPARE(bank->Choices[2047][0], QStringLiteral("c2047"));
}

void TestQiz::sampleSetLoads()
{
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 2;
    QCOMPARE(LoadQuestion(*bank, mode, QStringLiteral(MONTERA_SAMPLES "/sample.qiz")), LoadOutcome::Ok);
    QVERIFY(bank->LastQuestion >= 29);
    QVERIFY(!bank->SetTitle.isEmpty());
    QVERIFY(!bank->SetCreator.isEmpty());
    QVERIFY(!bank->SetVersion.isEmpty());
    for (int q = 0; q <= bank->LastQuestion; ++q) {
        QVERIFY(!bank->QuestionText[q].isEmpty());
        QVERIFY(bank->AnswerIndex[q] >= 0 && bank->AnswerIndex[q] < kChoiceCount);
        for (const QString& choice : bank->Choices[q])
            QVERIFY2(!choice.isEmpty(), qPrintable(bank->QuestionText[q]));
    }
}

QTEST_GUILESS_MAIN(TestQiz)
#include "test_qiz.moc"
