#include "testutil.h"

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

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
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
    return {process.exitCode(), process.readAllStandardOutput()};
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
}

void TestSetsTool::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QCOMPARE(run(args).exitCode, exitCode);
}

QTEST_GUILESS_MAIN(TestSetsTool)
#include "test_sets_tool.moc"
