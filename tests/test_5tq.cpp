#include "bank.h"
#include "read5tq.h"
#include "readers.h"
#include "set5tq.h"
#include "testutil.h"

#include <QTest>

#include <memory>

using namespace montera;
using testutil::Set5tq;

Q_DECLARE_METATYPE(montera::LoadOutcome)

namespace {

constexpr auto summary = testutil::bankSummary;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out += char(value);
    return out;
}

const QStringList kChoices{"right", "w1", "w2", "w3", "w4"};
const QString kChoiceSummary = "right,w1,w2,w3,w4";

} // namespace

class Test5tq : public QObject {
    Q_OBJECT

private slots:
    void maskedText_data();
    void maskedText();
    void read_data();
    void read();
    void failureKeepsWhatWasStored();
    void capacity_data();
    void capacity();
};

void Test5tq::maskedText_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");

    // "AB" masked is 0xC1 0xC2; a stored blank 0x20 unmasks to 0xA0.
    QTest::newRow("text then blanks") << bytes({0xC1, 0xC2, 0x20, 0x20, 0x20}) << 0 << 5 << "AB";
    QTest::newRow("full width") << bytes({0xC1, 0xC2, 0xC3}) << 0 << 3 << "ABC";
    QTest::newRow("starts with two blanks") << bytes({0x20, 0x20, 0xC1}) << 0 << 3 << "";
    // あ is 0x82 0xA0: its trail byte is a stored blank, and stays.
    QTest::newRow("trail byte 0xA0 kept") << bytes({0x02, 0x20, 0xC1, 0x20, 0x20}) << 0 << 5 << "あA";
    // As the last character before the padding, its trail byte and the first
    // blank form the ending pair: only the lead byte is taken.
    QTest::newRow("trail byte 0xA0 before padding") << bytes({0xC1, 0x02, 0x20, 0x20}) << 0 << 4 << "A\u30FB";
    QTest::newRow("look-ahead into the next field") << bytes({0xC1, 0x20, 0x20, 0xC2}) << 0 << 2 << "A";
    QTest::newRow("last byte of the buffer") << bytes({0xC1, 0x20}) << 0 << 2 << "A\uF8F0";
    QTest::newRow("from an offset") << bytes({0x20, 0x20, 0xC1, 0xC2}) << 2 << 2 << "AB";
    QTest::newRow("zeros unmask to 0x80") << bytes({0, 0}) << 0 << 2 << "\u0080\u0080";
}

void Test5tq::maskedText()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    QCOMPARE(GetMaskedText(buffer, start, length), text);
}

void Test5tq::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("setTitle");

    const auto three = [](Set5tq set) {
        return set.section(0, "Sec", 3, 8)
            .question(8, "one", kChoices)
            .question(9, "two", kChoices)
            .question(10, "three", kChoices);
    };
    QTest::newRow("one section of three") << three(Set5tq()).bytes() << 3
                                          << QStringList{"SAMPLE - Sec|one|" + kChoiceSummary + "|0",
                                                         "SAMPLE - Sec|two|" + kChoiceSummary + "|0",
                                                         "SAMPLE - Sec|three|" + kChoiceSummary + "|0"}
                                          << "SAMPLE";
    QTest::newRow("empty section between")
        << Set5tq()
               .section(0, "A", 1, 8)
               .section(2, "C", 2, 9)
               .question(8, "a", kChoices)
               .question(9, "c1", kChoices)
               .question(10, "c2", {"x"})
               .bytes()
        << 3
        << QStringList{"SAMPLE - A|a|" + kChoiceSummary + "|0", "SAMPLE - C|c1|" + kChoiceSummary + "|0",
                       "SAMPLE - C|c2|x,,,,|0"}
        << "SAMPLE";
    QTest::newRow("set name of four characters") << Set5tq()
                                                        .section(0, "S", 1, 8, "ABCD")
                                                        .section(7, "", 0, 0, "WXYZ")
                                                        .question(8, "q", kChoices)
                                                        .bytes()
                                                 << 1 << QStringList{" - S|q|" + kChoiceSummary + "|0"} << "";
    // Zero bytes are characters: the last four of the twelve are dropped.
    QTest::newRow("set name padded with zero bytes")
        << Set5tq()
               .section(0, "S", 1, 8, QByteArray("ABCDEF") + QByteArray(6, '\0'))
               .section(7, "", 0, 0, QByteArray("ABCDEF") + QByteArray(6, '\0'))
               .question(8, "q", kChoices)
               .bytes()
        << 1 << QStringList{"ABCDEF" + QString(2, QChar(0)) + " - S|q|" + kChoiceSummary + "|0"}
        << "ABCDEF" + QString(2, QChar(0));
    QTest::newRow("header of zero bytes")
        << three(Set5tq()).put(7 * kBlockSize, QByteArray(kBlockSize, '\0')).bytes() << 3
        << QStringList{"SAMPLE - Sec|one|" + kChoiceSummary + "|0",
                       "SAMPLE - Sec|two|" + kChoiceSummary + "|0",
                       "SAMPLE - Sec|three|" + kChoiceSummary + "|0"}
        << QString(8, QChar(0));
    QTest::newRow("blank set name of an empty section")
        << three(Set5tq()).section(5, "", 0, 0, "").bytes() << 0 << QStringList{} << "";
    QTest::newRow("set name of three characters")
        << three(Set5tq()).section(1, "", 0, 0, "ABC").bytes() << 0 << QStringList{} << "";
    QTest::newRow("count 0x0100 is 256")
        << Set5tq().section(0, "", 0, 8).put(18, bytes({0x00, 0x01})).bytes() << 256
        << QStringList{"SAMPLE - |" + QString(116, QChar(0x80)) + "|" +
                       QStringList(5, QString(28, QChar(0x80))).join(u',') + "|0"}
        << "SAMPLE";
    QTest::newRow("count high byte 0x80")
        << Set5tq().put(18, bytes({0x00, 0x80})).bytes() << 0 << QStringList{} << "";
    QTest::newRow("first block high byte 0x80 in an empty section")
        << three(Set5tq()).put(6 * kBlockSize + 20, bytes({0x00, 0x80})).bytes() << 0 << QStringList{} << "";
    QTest::newRow("block 2499 is the last readable")
        << Set5tq().section(0, "", 1, 2499).question(2499, "last", kChoices).bytes() << 1
        << QStringList{"SAMPLE - |last|" + kChoiceSummary + "|0"} << "SAMPLE";
    QTest::newRow("block 2500") << Set5tq().section(0, "", 1, 2500).bytes() << 0 << QStringList{} << "";
    QTest::newRow("no questions at all") << Set5tq().bytes() << 0 << QStringList{} << "SAMPLE";
    // Blocks may point at the headers: their bytes are decoded all the same.
    QTest::newRow("block on a header")
        << Set5tq().section(0, "", 1, 7).section(7, "ABC", 0, 0).bytes() << 1
        << QStringList{"SAMPLE - |\uFF81\uFF82\uFF83|" + QStringList(5, QString(28, QChar(0x80))).join(u',') +
                       "|0"}
        << "SAMPLE";
}

void Test5tq::read()
{
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    QFETCH(QStringList, questions);
    QFETCH(QString, setTitle);

    auto bank = std::make_unique<QuestionBank>();
    QCOMPARE(Read5TQ(*bank, content), result);
    if (result > 0)
        QCOMPARE(bank->LastQuestion, result - 1);
    QCOMPARE(summary(*bank, int(questions.size())), questions);
    QCOMPARE(bank->SetTitle, setTitle);
    QCOMPARE(bank->SetCreator, QString());
    QCOMPARE(bank->SetVersion, QString());
}

void Test5tq::failureKeepsWhatWasStored()
{
    // Section 0 is read, then section 1's header is invalid: the questions of
    // section 0 stay beside the error entry, and no set title is set.
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.5TQ");
    const Set5tq set = Set5tq()
                           .section(0, "A", 2, 8)
                           .section(1, "", 0, 0, "AB  ")
                           .question(8, "first", kChoices)
                           .question(9, "second", kChoices);
    testutil::writeBytes(path, set.file(10));
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 3;
    QCOMPARE(LoadQuestion(*bank, mode, path), LoadOutcome::Invalid);
    QCOMPARE(summary(*bank, 2), (QStringList{"SAMPLE - A|" + kErrorInvalid + "|" + kChoiceSummary + "|-1",
                                             "SAMPLE - A|second|" + kChoiceSummary + "|0"}));
    QCOMPARE(bank->LastQuestion, 0);
    QCOMPARE(bank->SetTitle, QString());
    QCOMPARE(mode, std::int16_t(0));
}

void Test5tq::capacity_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<LoadOutcome>("outcome");
    QTest::newRow("2048") << 2048 << LoadOutcome::Ok;
    QTest::newRow("2049") << 2049 << LoadOutcome::Invalid;
}

void Test5tq::capacity()
{
    QFETCH(int, questions);
    QFETCH(LoadOutcome, outcome);

    // Spread over three sections, written as a file and loaded.
    Set5tq set;
    set.section(0, "A", 1024, 8).section(1, "B", 1000, 8 + 1024).section(3, "D", questions - 2024, 8 + 2024);
    for (int q = 0; q < questions; ++q)
        set.question(8 + q, QStringLiteral("問題%1").arg(q), kChoices);
    QTemporaryDir dir;
    const QString path = dir.filePath("big.5tq");
    testutil::writeBytes(path, set.file(8 + questions));
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 1;
    QCOMPARE(LoadQuestion(*bank, mode, path), outcome);
    QCOMPARE(bank->QuestionText[2047], QStringLiteral("問題2047"));
    QCOMPARE(bank->QuestionTitle[2047], QStringLiteral("SAMPLE - D"));
    if (outcome == LoadOutcome::Ok) {
        QCOMPARE(bank->LastQuestion, 2047);
        QCOMPARE(bank->QuestionText[0], QStringLiteral("問題0"));
        QCOMPARE(bank->QuestionTitle[1024], QStringLiteral("SAMPLE - B"));
    } else {
        QCOMPARE(bank->QuestionText[0], kErrorInvalid);
    }
}

QTEST_GUILESS_MAIN(Test5tq)
#include "test_5tq.moc"
