#include "codec932.h"
#include "importtable.h"

#include <QTest>

using namespace montera;
using namespace montera::sets;

// The table reader of `montera-sets import`.
class TestImport : public QObject {
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void problems_data();
    void problems();
};

namespace {

// Each question as "title|text|choice,choice,...|answer".
QStringList summary(const WrittenSet& set)
{
    QStringList out;
    for (const WrittenQuestion& q : set.questions)
        out << q.title + u'|' + q.text + u'|' + QStringList(q.choices.begin(), q.choices.end()).join(u',') +
                   u'|' + QString::number(q.answer);
    return out;
}

} // namespace

void TestImport::rows_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("tabs");
    QTest::addColumn<QStringList>("questions");

    QTest::newRow("header, blanks kept, quoting")
        << QByteArray("question,1,2,3,4,5,answer\r\n q ,\"a,b\",\"say \"\"hi\"\"\",c,d, e ,2\r\n") << false
        << QStringList{"T| q |a,b,say \"hi\",c,d, e |2"};
    QTest::newRow("no header; full-width answer with blanks; title column")
        << cp932::encode(u"問,a,b,c,d,e,\u3000５ ,章\r\nq,a,b,c,d,e,1,,ignored\r\n") << false
        << QStringList{"章|問|a,b,c,d,e|5", "T|q|a,b,c,d,e|1"};
    QTest::newRow("line breaks in a cell become LF")
        << QByteArray("\"1\r\n2\r3\n4\",a,b,c,d,e,3\n") << false << QStringList{"T|1\n2\n3\n4|a,b,c,d,e|3"};
    QTest::newRow("tabs; empty rows skipped")
        << QByteArray("q\ta,b\tb\tc\td\te\t4\r\n\r\n\t\t\r\nr\ta\tb\tc\td\te\t1") << true
        << QStringList{"T|q|a,b,b,c,d,e|4", "T|r|a,b,c,d,e|1"};
    QTest::newRow("UTF-8 with a mark")
        << QByteArray("\xEF\xBB\xBF\xE5\xB1\xB1,a,b,c,d,e,1\r\n") << false << QStringList{"T|山|a,b,c,d,e|1"};
}

void TestImport::rows()
{
    QFETCH(QByteArray, table);
    QFETCH(bool, tabs);
    QFETCH(QStringList, questions);
    std::vector<TableProblem> problems;
    const WrittenSet set = readTable(table, tabs ? TableFormat::Tsv : TableFormat::Csv, "T", problems);
    QVERIFY(problems.empty());
    QCOMPARE(summary(set), questions);
}

void TestImport::problems_data()
{
    QTest::addColumn<QByteArray>("table");
    // "ROW: message start" per problem.
    QTest::addColumn<QStringList>("expected");

    // Rows are counted as the table's lines, empty lines and lines inside
    // cells included.
    QTest::newRow("each problem with its line")
        << QByteArray("h\r\n\"x\r\ny\",a,b,c,d,e,6\r\n\r\n,a,b,c,d,e,1\r\nq,a\r\nq,a,b,c,d,e,0\r\n")
        << QStringList{"2: the answer \"6\" is not 1 to 5", "5: the question is empty", "6: 2 cells",
                       "7: the answer \"0\""};
    QTest::newRow("broken quote after good rows")
        << QByteArray("q,a,b,c,d,e,1\nq,a,b,c,d,e,9\n\"x\"y,a,b,c,d,e,1\n")
        << QStringList{"2: the answer \"9\"", "3: a quote that breaks the rules"};
    QTest::newRow("unclosed quote") << QByteArray("q,a,b,c,d,e,1\n\"open,a\n")
                                    << QStringList{"2: a quote that breaks the rules"};
    QTest::newRow("no question") << QByteArray("only,a header\r\n")
                                 << QStringList{"0: the table has no question"};
    QByteArray many;
    for (int q = 0; q <= kBankCapacity; ++q)
        many += "q,a,b,c,d,e,1\n";
    QTest::newRow("2049 questions") << many << QStringList{"2049: more than 2048 questions"};
}

void TestImport::problems()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, expected);
    std::vector<TableProblem> problems;
    readTable(table, TableFormat::Csv, "T", problems);
    QCOMPARE(qsizetype(problems.size()), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString actual =
            QString::number(problems[size_t(i)].row) + QStringLiteral(": ") + problems[size_t(i)].message;
        QVERIFY2(actual.startsWith(expected[i]), qPrintable(actual));
    }
}

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
