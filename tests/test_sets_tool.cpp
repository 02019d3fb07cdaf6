#include "codec932.h"
#include "historystore.h"
#include "testutil.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

class TestSetsTool : public QObject {
    Q_OBJECT

private slots:
    void dump_data();
    void dump();
    void dumpEscapes();
    void usage_data();
    void usage();
    void writeCommands_data();
    void writeCommands();
    void stats();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList& args);
    QTemporaryDir m_dir;
};

TestSetsTool::Run TestSetsTool::run(const QStringList& args)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral(MONTERA_SETS_TOOL), args);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void TestSetsTool::dump_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("encoding");

    QTest::newRow("sample") << QStringLiteral(MONTERA_SAMPLES "/sample.qiz") << 0 << "ok" << 34 << "cp932";
    QTest::newRow("utf-8") << QStringLiteral(MONTERA_TEST_DATA "/utf8_lf.5tx") << 0 << "ok" << 1 << "utf-8";
    QTest::newRow("missing") << "missing.qiz" << 1 << "unreadable" << 1 << "cp932";
    QTest::newRow("unrecognised") << "set.txt" << 1 << "unrecognised" << 1 << "cp932";
}

void TestSetsTool::dump()
{
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, status);
    QFETCH(int, questions);
    QFETCH(QString, encoding);

    const Run result = run({"dump", file});
    QCOMPARE(result.exitCode, exitCode);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(result.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.keys().size(), 7);
    QCOMPARE(object["status"].toString(), status);
    QCOMPARE(object["encoding"].toString(), encoding);
    QCOMPARE(object["questions"].toArray().size(), questions);
    QCOMPARE(object["last_question"].toInt(), questions - 1);
    const QJsonObject first = object["questions"].toArray().first().toObject();
    QCOMPARE(first["choices"].toArray().size(), 5);
    if (status != u"ok")
        QCOMPARE(first["answer"].toInt(), -1);
    // Keys come in their documented order.
    QVERIFY(result.out.startsWith("{\"status\": "));
    QVERIFY(result.out.indexOf("\"encoding\"") < result.out.indexOf("\"last_question\""));
    QVERIFY(result.out.indexOf("\"set_title\"") < result.out.indexOf("\"set_creator\""));
}

void TestSetsTool::dumpEscapes()
{
    testutil::writeBytes(m_dir.filePath("esc.qiz"),
                         QByteArrayLiteral("Q=a\0b\"c\\\td\nx\r\nA1=\x82\xA0\r\n"));
    const Run result = run({"dump", "esc.qiz"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(R"("text": "a\u0000b\"c\\\td\nx")"), result.out.constData());
    QVERIFY(result.out.contains("\"あ\""));
    QVERIFY(!QFile::exists(m_dir.filePath("esc.qiz.json")));
}

void TestSetsTool::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("nothing") << QStringList{} << 2;
    QTest::newRow("unknown command") << QStringList{"show", "x.qiz"} << 2;
    QTest::newRow("dump without file") << QStringList{"dump"} << 2;
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("stats without a set") << QStringList{"stats", "--json"} << 2;
    QTest::newRow("stats, history unreadable") << QStringList{"stats", "--history", ".", "a.qiz"} << 1;
    QTest::newRow("import without output") << QStringList{"import", "t.csv"} << 2;
    QTest::newRow("convert with a bad encoding")
        << QStringList{"convert", "s.qiz", "-o", "o.qiz", "--encoding", "x"} << 2;
}

void TestSetsTool::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QCOMPARE(run(args).exitCode, exitCode);
}

void TestSetsTool::writeCommands_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("stderrOrDump"); // a fragment of the error, or of the written set's dump

    const QByteArray emoji("q,a,\xF0\x9F\x98\x80,c,d,e,1\r\n");
    QTest::newRow("import")
        << "山.csv" << montera::cp932::encode(u"問,a,b,c,d,e,2\r\n") << QStringList{"--creator", "私"}
        << R"("encoding": "cp932", "last_question": 0, "set_title": "山", "set_creator": "私")";
    QTest::newRow("import as UTF-8") << "e.csv" << emoji << QStringList{"--encoding", "utf-8"}
                                     << "\"choices\": [\"a\", \"😀\"";
    QTest::newRow("character without a code")
        << "e.csv" << emoji << QStringList{}
        << "e.csv:1: error: the character \"😀\" (U+1F600) has no code in "
           "code page 932; write the set with --encoding utf-8\n";
    QTest::newRow("UTF-16 table") << "u.tsv" << QByteArray("\xFF\xFEq\0") << QStringList{}
                                  << "u.tsv: error: UTF-16 is not supported: save as UTF-8 or Shift_JIS\n";
    QTest::newRow("convert") << "s.5tx"
                             << testutil::crlfText({"5TX", "", "", "T", "1", "q", "1", "2", "3", "4", "5"})
                             << QStringList{} << R"("title": "T", "text": "q", "choices": ["1", "2")";
    QTest::newRow("convert a set that does not load") << "s.qiz" << QByteArray("B=\r\n") << QStringList{}
                                                      << "s.qiz: error: the set does not load (invalid)\n";
}

void TestSetsTool::writeCommands()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, options);
    QFETCH(QString, stderrOrDump);
    const QString output = m_dir.filePath("out.qiz");
    QFile::remove(output);
    testutil::writeBytes(m_dir.filePath(input), content);

    const QString command = input.endsWith(u"csv") || input.endsWith(u"tsv") ? "import" : "convert";
    const Run result = run(QStringList{command, input, "-o", "out.qiz"} + options);
    if (!result.err.isEmpty()) {
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err), stderrOrDump);
        QVERIFY(!QFile::exists(output)); // nothing is written
        return;
    }
    QCOMPARE(result.exitCode, 0);
    const Run dumped = run({"dump", "out.qiz"});
    QVERIFY2(QString::fromUtf8(dumped.out).contains(stderrOrDump), dumped.out.constData());
}

// The figures themselves are the store's (test_history); here the command's
// choice of set and title and its two forms.
void TestSetsTool::stats()
{
    using namespace montera;
    const QString path = m_dir.filePath("history.db");
    {
        HistoryStore history;
        QCOMPARE(history.open(path, HistoryAccess::ReadWrite), HistoryState::Writable);
        std::vector<AnswerRecord> answers(3);
        for (size_t i = 0; i < answers.size(); ++i) {
            answers[i].setFile = "sample.qiz";
            answers[i].setTitle =
                i < 2 ? QStringLiteral("モンテラ 一般教養サンプル") : QStringLiteral("older");
            answers[i].outcome = i == 0 ? AnswerOutcome::Right : AnswerOutcome::Wrong;
            answers[i].answeredAt = QDateTime::currentSecsSinceEpoch();
        }
        QVERIFY(history.record(answers));
    }
    const QString set = QStringLiteral(MONTERA_SAMPLES "/sample.qiz");
    const Run json = run({"stats", "--json", "--history", path, set});
    const QJsonObject figures = QJsonDocument::fromJson(json.out).array().at(0).toObject();
    QCOMPARE(json.exitCode, 0);
    QCOMPARE(figures["set"].toString(), QStringLiteral("sample.qiz"));
    QCOMPARE(figures["asked"].toInt(), 2);
    QCOMPARE(figures["days"].toArray().last().toObject()["right"].toInt(), 1);
    const Run text = run({"stats", "--history", path, set});
    QVERIFY2(text.out.contains("asked 2, right 1 (50 %)"), text.out.constData());
}

QTEST_GUILESS_MAIN(TestSetsTool)
#include "test_sets_tool.moc"
