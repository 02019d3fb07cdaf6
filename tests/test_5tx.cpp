#include "bank.h"
#include "fileutil.h"
#include "readers.h"
#include "testutil.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace montera;

namespace {

// The bank summary with every CR shown as ^.
QStringList summary(const QuestionBank& bank, int count)
{
    return testutil::bankSummary(bank, count).replaceInStrings(QStringLiteral("\r"), QStringLiteral("^"));
}

// The text as ReadTextFile gives it for a file of these lines.
QString fileText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

const QStringList kHeader{"5TX", "anything", "", "Title", "2"};

QStringList records(int count, int firstNumber = 0)
{
    QStringList lines;
    for (int q = firstNumber; q < firstNumber + count; ++q) {
        lines << QStringLiteral("Q%1").arg(q);
        for (int c = 1; c <= 5; ++c)
            lines << QStringLiteral("c%1").arg(c);
    }
    return lines;
}

// The reader as the format describes it, one GetLine call per line: the
// reference for what the single-pass reader must give.
int referenceRead(QuestionBank& bank, const QString& text)
{
    int n = 0;
    for (int line = 0;; ++line) {
        const QString value = GetLine(line, text);
        if (line == 3) {
            bank.markFilled(0);
            bank.QuestionTitle[0] = value;
        }
        if (line < 5)
            continue;
        if (value.isEmpty() || n == kBankCapacity)
            break;
        const int k = line - 6 * n - 5;
        if (k == 0) {
            bank.markFilled(n);
            bank.QuestionText[n] = value;
            bank.AnswerIndex[n] = 0;
        } else {
            bank.Choices[n][k - 1] = value;
            if (k == 5)
                ++n;
        }
    }
    bank.LastQuestion = n - 1;
    return n;
}

} // namespace

class Test5tx : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void sameLinesAsGetLine();
    void capacity();
    void longTextLoads();
    void loadsThroughTheLoader();
};

void Test5tx::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    // Questions 0..result, one more than were read, to show an incomplete
    // record left above LastQuestion.
    QTest::addColumn<QStringList>("questions");

    const QString empty3 = "||,,,,|0";
    QTest::newRow("two records") << fileText(kHeader + records(2)) << 2
                                 << QStringList{"Title^|Q0^|c1^,c2^,c3^,c4^,c5^|0",
                                                "|Q1^|c1^,c2^,c3^,c4^,c5^|0", empty3};
    QTest::newRow("header only") << fileText(kHeader) << 0 << QStringList{"Title^|" + empty3.mid(1)};
    QTest::newRow("three lines") << fileText({"a", "b", "c"}) << 0 << QStringList{empty3};
    QTest::newRow("empty text") << QString() << 0 << QStringList{empty3};
    QTest::newRow("incomplete last record")
        << fileText(kHeader + records(2) + QStringList{"Q2", "c1"}) << 2
        << QStringList{"Title^|Q0^|c1^,c2^,c3^,c4^,c5^|0", "|Q1^|c1^,c2^,c3^,c4^,c5^|0", "|Q2^|c1^,,,,|0"};
    QTest::newRow("blank line shifts the records")
        << fileText(kHeader + QStringList{"Q0", "c1", "", "c2", "c3", "c4", "c5", "Q1"}) << 1
        << QStringList{"Title^|Q0^|c1^,^,c2^,c3^,c4^|0", "|c5^|Q1^,,,,|0"};
    QTest::newRow("first three lines empty, count not a number")
        << fileText(QStringList{"", "", "", "T", "many"} + records(1)) << 1
        << QStringList{"T^|Q0^|c1^,c2^,c3^,c4^,c5^|0", empty3};
    // A file line beginning with a lone LF gives two line feeds in a row: the
    // set ends there.
    QTest::newRow("two line feeds end the set")
        << fileText(kHeader + records(1) + QStringList{"\nQ1"} + records(1, 2)) << 1
        << QStringList{"Title^|Q0^|c1^,c2^,c3^,c4^,c5^|0", empty3};
    // A lone LF inside a file line splits it; the first part has no CR.
    QTest::newRow("lone LF splits a line")
        << fileText(kHeader + QStringList{"Q0\nc1", "c2", "c3", "c4", "c5"}) << 1
        << QStringList{"Title^|Q0|c1^,c2^,c3^,c4^,c5^|0", empty3};
    // Characters after the last LF are never a line.
    QTest::newRow("text without final line feed")
        << fileText(kHeader + records(1)) + QStringLiteral("Q1\nc1\nc2\nc3\nc4\nc5") << 1
        << QStringList{"Title^|Q0^|c1^,c2^,c3^,c4^,c5^|0", "|Q1|c1,c2,c3,c4,|0"};
    QTest::newRow("header ended by two line feeds")
        << QStringLiteral("a\n\nb\nT\n2\nQ\n1\n2\n3\n4\n5\n") << 1 << QStringList{"T|Q|1,2,3,4,5|0", empty3};
}

void Test5tx::read()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(QStringList, questions);

    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(Read5TX(*bank, text), result);
    QCOMPARE(bank->LastQuestion, result - 1);
    QCOMPARE(summary(*bank, int(questions.size())), questions);
}

void Test5tx::sameLinesAsGetLine()
{
    // Random texts from the characters that matter to the line split.
    QRandomGenerator random(5);
    const QString alphabet = QStringLiteral("ab\r\n\n\n");
    auto expected = std::make_unique<QuestionBank>();
    auto actual = std::make_unique<QuestionBank>();
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int size = random.bounded(120);
        for (int i = 0; i < size; ++i)
            text += alphabet[random.bounded(int(alphabet.size()))];
        expected->clear();
        actual->clear();
        QCOMPARE(Read5TX(*actual, text), referenceRead(*expected, text));
        QCOMPARE(actual->LastQuestion, expected->LastQuestion);
        QCOMPARE(summary(*actual, 20), summary(*expected, 20));
    }
}

void Test5tx::capacity()
{
    // Records after the 2048th are not read.
    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(Read5TX(*bank, fileText(kHeader + records(kBankCapacity + 1))), kBankCapacity);
    QCOMPARE(bank->LastQuestion, kBankCapacity - 1);
    QCOMPARE(bank->QuestionText[kBankCapacity - 1], QStringLiteral("Q2047\r"));
    QCOMPARE(bank->Choices[kBankCapacity - 1][4], QStringLiteral("c5\r"));
}

void Test5tx::longTextLoads()
{
    // Texts far beyond 32,766 characters load like any other.
    const QString longLine(40000, u'あ');
    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(Read5TX(*bank, fileText(kHeader + QStringList{longLine} + records(1).mid(1) + records(1, 1))),
             2);
    QCOMPARE(bank->QuestionText[0], longLine + u'\r');
    QCOMPARE(bank->QuestionText[1], QStringLiteral("Q1\r"));
}

void Test5tx::loadsThroughTheLoader()
{
    // Lone CRs end lines as CR LF does; a blank line is an ordinary record line.
    QTemporaryDir dir;
    const QString path = dir.filePath("set.5tx");
    testutil::writeBytes(path, cp932::encode(QStringLiteral("a\rb\r\nc\r題名\r1\rあ\r\r2\r3\r4\r5\r")));
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 2;
    QCOMPARE(LoadQuestion(*bank, mode, path), LoadOutcome::Ok);
    QCOMPARE(summary(*bank, 1), QStringList{"題名^|あ^|^,2^,3^,4^,5^|0"});
    QCOMPARE(mode, std::int16_t(2));
    QCOMPARE(bank->SetTitle, QString());
}

QTEST_GUILESS_MAIN(Test5tx)
#include "test_5tx.moc"
