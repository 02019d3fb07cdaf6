#include "set5tq.h"
#include "testutil.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

// `montera-sets check` on the sets in tests/data and on generated ones.
class TestCheck : public QObject {
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void generated_data();
    void generated();
    void oversizeWarnedOnce();
    void json();
    void everyDataFileAgreesWithDump();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList& args);
    QTemporaryDir m_dir;
};

TestCheck::Run TestCheck::run(const QStringList& args)
{
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(MONTERA_TEST_DATA));
    process.start(QStringLiteral(MONTERA_SETS_TOOL), args);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void TestCheck::findings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    // The summary's start, then one fragment per finding line, in order.
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("good qiz")
        << "good.qiz" << 0
        << QStringList{"good.qiz: note: QIZ set, cp932, 2 questions, title \"見本の問題集\", creator "
                       "\"モンテラ\", version \"1.0\""};
    QTest::newRow("good 5tx") << "good.5tx" << 0
                              << QStringList{"good.5tx: note: 5TX set, cp932, 2 questions"};
    QTest::newRow("good 5tq") << "good.5tq" << 0
                              << QStringList{"good.5tq: note: 5TQ set, cp932, 3 questions, title \"見本集\""};
    QTest::newRow("qiz ended early")
        << "early_end.qiz" << 0
        << QStringList{"1 question",
                       "early_end.qiz:9: warning: an empty line ends the set; 7 lines after it"};
    QTest::newRow("qiz problems")
        << "problems.qiz" << 0
        << QStringList{"4 questions",
                       "problems.qiz:2: warning: \"A\" line before the first question",
                       "problems.qiz:3: warning: question 1 has no answer line",
                       "problems.qiz:15: warning: answer 7 is outside 1 to 5",
                       "problems.qiz:22: warning: answer \"x\" is not a number",
                       "problems.qiz:23: warning: question 4 has 3 of 5 choices",
                       "problems.qiz:25: warning: choice 1 of question 4 comes after choice 3",
                       "problems.qiz:26: warning: choice 2 of question 4 comes after choice 3",
                       "problems.qiz:27: warning: choice 2 of question 4 is given again",
                       "problems.qiz:29: warning: the lower-case tag \"q\" ends the set "
                       "(tags are upper case); 2 lines after it are not read"};
    QTest::newRow("qiz without question")
        << "noquestion.qiz" << 1
        << QStringList{"QIZ set, cp932, does not load", "noquestion.qiz:4: error: no question (\"Q\" line)"};
    QTest::newRow("qiz bad bytes") << "badbytes.qiz" << 0
                                   << QStringList{"1 question",
                                                  "badbytes.qiz:2: warning: bytes 0x82 0x20 at offset 9",
                                                  "badbytes.qiz:2: warning: byte 0xFF at offset 12",
                                                  "badbytes.qiz:2: warning: question 1 has 1 of 5 choices"};
    QTest::newRow("5tx incomplete")
        << "incomplete.5tx" << 0
        << QStringList{"2 questions", "incomplete.5tx:5: warning: the fifth line \"abc\" is no number",
                       "incomplete.5tx:18: warning: the last question is incomplete (2 of its 6 lines)"};
    QTest::newRow("5tx header only") << "header_only.5tx" << 1
                                     << QStringList{"does not load",
                                                    "header_only.5tx: error: no complete question"};
    QTest::newRow("5tx line feeds")
        << "linefeed.5tx" << 0
        << QStringList{"1 question",
                       "linefeed.5tx:12: warning: two line feeds in a row (a line feed inside a line) "
                       "end the set; 6 lines after it are not read"};
    QTest::newRow("5tx blank line") << "blank.5tx" << 0
                                    << QStringList{"1 question", "blank.5tx:7: warning: empty line taken as "
                                                                 "choice 1 of question 1"};
    QTest::newRow("5tq overlap")
        << "overlap.5tq" << 0
        << QStringList{
               "6 questions",
               "overlap.5tq:276 (block 1): warning: section 2: blocks 10 to 11 overlap section 1's",
               "overlap.5tq:532 (block 2): warning: section 3: blocks 7 to 7 overlap the headers",
               "overlap.5tq:1792 (block 7): warning: section 3: question 1 has an empty text",
               "overlap.5tq:1908 (block 7): warning: bytes 0x80 0x80 0x80 0x80 ... (28 bytes)",
               "overlap.5tq:1936",
               "overlap.5tq:1964",
               "overlap.5tq:1992",
               "overlap.5tq:2020",
               "overlap.5tq:2276 (block 8): warning: byte 0x82 at offset 2276 is no code page 932 character "
               "(the last character's second byte",
               "overlap.5tq:2532",
               "overlap.5tq:2788",
               "overlap.5tq:3044"};
    QTest::newRow("5tq count overflow")
        << "badcount.5tq" << 1
        << QStringList{"does not load",
                       "badcount.5tq:275 (block 1): error: section 2: the question count (bytes "
                       "0x00 0x80) is above 32767",
                       "badcount.5tq:2276"};
    QTest::newRow("5tq short set name")
        << "shortname.5tq" << 1
        << QStringList{"does not load",
                       "shortname.5tq:534 (block 2): error: section 3: the set name \"AB\" has fewer "
                       "than 4 characters",
                       "shortname.5tq:2276"};
    QTest::newRow("5tq beyond 640000")
        << "beyond.5tq" << 1
        << QStringList{"does not load",
                       "beyond.5tq:276 (block 1): warning: section 2: blocks 2499 to 2500 lie beyond "
                       "the end of the file",
                       "beyond.5tq:2276",
                       "beyond.5tq:640000 (block 2500): error: section 2: question 2 is in block 2500"};
    QTest::newRow("5tq without questions")
        << "empty.5tq" << 1 << QStringList{"does not load", "empty.5tq: error: no section has questions"};
    QTest::newRow("5tq shorter than its blocks")
        << "short.5tq" << 0
        << QStringList{"2 questions",
                       "short.5tq:20 (block 0): warning: section 1: blocks 9 to 9 lie beyond the end",
                       "short.5tq:2276"};
    QTest::newRow("missing") << "missing.5tq" << 1
                             << QStringList{"missing.5tq: note: 5TQ set, cp932, does not load",
                                            "missing.5tq: error: the file cannot be read"};
    QTest::newRow("utf-8 with a mark")
        << "utf8_bom.qiz" << 0
        << QStringList{"QIZ set, utf-8, 1 question, title \"日本の山\"",
                       "utf8_bom.qiz:10: warning: byte 0xFF at offset 161 is not UTF-8"};
    QTest::newRow("utf-8 with line feeds") << "utf8_lf.5tx" << 0 << QStringList{"5TX set, utf-8, 1 question"};
    QTest::newRow("utf-8 read as code page 932")
        << "utf8_ambiguous.qiz" << 0
        << QStringList{
               "QIZ set, cp932, 1 question",
               "utf8_ambiguous.qiz: warning: the file was read as code page 932 but is also UTF-8: if "
               "this file was saved as UTF-8, save it with a BOM (UTF-8 with signature)"};
    QTest::newRow("utf-16") << "utf16.qiz" << 1
                            << QStringList{"does not load",
                                           "utf16.qiz: error: UTF-16 is not supported: save as "
                                           "UTF-8 or Shift_JIS"};
    QTest::newRow("unrecognised") << "good.txt" << 1
                                  << QStringList{
                                         "good.txt: note: no question-set format",
                                         "good.txt: error: the name ends in none of qiz, 5tx and 5tq"};
}

void TestCheck::findings()
{
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);

    const Run result = run({"check", file});
    QCOMPARE(result.exitCode, exitCode);
    const QStringList out = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(out.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QVERIFY2(out[i].contains(lines[i]), qPrintable(out[i] + QStringLiteral(" lacks ") + lines[i]));
}

void TestCheck::generated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("finding");

    using testutil::Set5tq;
    const auto fiveTq = [](int questions) {
        Set5tq set;
        set.section(0, "A", 2000, 8).section(4, "B", questions - 2000, 2008);
        return set.file(8 + questions);
    };
    QTest::newRow("5tq of 2048") << "full.5tq" << fiveTq(2048) << 0 << "2048 questions";
    QTest::newRow("5tq of 2049")
        << "over.5tq" << fiveTq(2049) << 1
        << "over.5tq:526336 (block 2056): error: section 5: question 49 is the 2049th";
    QStringList lines{"h", "h", "h", "T", "2049"};
    for (int q = 0; q < 2049; ++q)
        lines << "Q"
              << "1"
              << "2"
              << "3"
              << "4"
              << "5";
    QTest::newRow("5tx of 2049")
        << "over.5tx" << testutil::crlfText(lines) << 0
        << "over.5tx:12294: warning: more than 2048 questions: this line and the 5 after it";
    QTest::newRow("5tx count differs")
        << "count.5tx" << testutil::crlfText(lines.mid(0, 11)) << 0
        << "count.5tx:5: warning: the fifth line says 2049 questions, the set has 1";
    QTest::newRow("qiz of 2049") << "over.qiz" << testutil::crlfText(QStringList(2049, "Q=x")) << 0
                                 << "over.qiz:2049: warning: more than 2048 questions";
    QTest::newRow("repeated choice")
        << "same.qiz" << testutil::crlfText({"Q=a", "A1=x", "A2=y", "A3=x", "A4=z", "A5=w", "A =1"}) << 0
        << "same.qiz:1: warning: choices 1 and 3 of question 1 are the same: \"x\"";
    QTest::newRow("empty correct choice")
        << "gap.qiz" << testutil::crlfText({"Q=a", "A1=x", "A2=y", "A3=v", "A4=z", "A5=", "A =5"}) << 0
        << "gap.qiz:1: warning: the correct choice 5 of question 1 is empty";
    QTest::newRow("no correct choice anywhere")
        << "none.qiz" << testutil::crlfText({"Q=a", "A1=x", "A =7", "Q=b", "A =0"}) << 0
        << "none.qiz: warning: no question has a correct choice: the set runs in the normal mode";
    // The value is quoted as it is, a "%1" in it included.
    QTest::newRow("answer with a percent sign")
        << "percent.qiz" << testutil::crlfText({"Q=a", "A1=x", "A =%1", "Q=b", "A1=y", "A =1"}) << 0
        << "percent.qiz:3: warning: answer \"%1\" is not a number from -32767 to 32767: no choice of "
           "question 1 counts as correct";
    // The window's limits, by the rule that the flashcard import shares.
    QTest::newRow("choice wider than its line")
        << "wide.qiz"
        << testutil::crlfText(
               {"Q=a", "A1=x", "A2=" + QString(34, QChar(u'x')).repeated(2), "A3=v", "A4=z", "A5=w", "A =1"})
        << 0 << "wide.qiz:1: warning: choice 2: a choice is 68 half-width characters wide";
    QTest::newRow("question taller than its box")
        << "tall.5tx"
        << testutil::crlfText({"h", "h", "h", "T", "1", QString(400, QChar(u'a')), "1", "2", "3", "4", "5"})
        << 0 << "tall.5tx:6: warning: the question takes 8 lines";
    QTest::newRow("empty 5tx") << "empty.5tx" << QByteArray() << 1
                               << "empty.5tx: error: 0 lines: a 5TX set has 5 header lines";
}

void TestCheck::generated()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, finding);

    const QString path = m_dir.filePath(name);
    testutil::writeBytes(path, content);
    const Run result = run({"check", path});
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(result.out).contains(finding), result.out.constData());
}

void TestCheck::oversizeWarnedOnce()
{
    // A 5TQ file one byte longer than the read buffer still loads; the
    // warning appears once on standard error, and the check names the size.
    testutil::Set5tq set;
    set.section(0, "A", 1, 8).question(8, "q", {"a", "b", "c", "d", "e"});
    const QString path = m_dir.filePath("long.5tq");
    testutil::writeBytes(path, set.bytes() + QByteArray(1, ' '));
    const Run result = run({"check", path});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err.count("ファイルサイズが大きすぎます"), 1);
    QVERIFY(result.out.contains(
        "(block 2500): warning: the file has 640002 bytes; only its first 640001 are read"));
    // Exactly 640,001 bytes is not too long.
    testutil::writeBytes(path, set.bytes());
    QCOMPARE(run({"check", path}).err, QByteArray());
}

void TestCheck::json()
{
    const Run text = run({"check", "problems.qiz", "overlap.5tq", "noquestion.qiz"});
    const Run json = run({"check", "--json", "problems.qiz", "overlap.5tq", "noquestion.qiz"});
    QCOMPARE(json.exitCode, 1);
    QCOMPARE(text.exitCode, 1);
    QJsonParseError error;
    const QJsonArray reports = QJsonDocument::fromJson(json.out, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(reports.size(), 3);
    int findings = 0;
    for (const QJsonValue& value : reports)
        findings += int(value["findings"].toArray().size());
    // Every text line but the three summaries is one finding.
    QCOMPARE(findings, int(text.out.count('\n')) - 3);

    const QJsonObject qiz = reports[0].toObject();
    QCOMPARE(qiz["status"].toString(), "ok");
    QCOMPARE(qiz["format"].toString(), "QIZ");
    QCOMPARE(qiz["questions"].toInt(), 4);
    QCOMPARE(qiz["title"].toString(), "問題あり");
    const QJsonObject first = qiz["findings"].toArray().first().toObject();
    QCOMPARE(first["line"].toInt(), 2);
    QCOMPARE(first["severity"].toString(), "warning");
    const QJsonObject overlap = reports[1].toObject()["findings"].toArray().first().toObject();
    QCOMPARE(overlap["offset"].toInt(), 276);
    QCOMPARE(overlap["block"].toInt(), 1);
    QVERIFY(!overlap.contains("line"));
    QCOMPARE(reports[2].toObject()["status"].toString(), "invalid");
    QCOMPARE(reports[2].toObject()["findings"].toArray().first()["severity"].toString(), "error");
}

void TestCheck::everyDataFileAgreesWithDump()
{
    // Every set kept in tests/data, fuzz findings included: the check reports
    // an error exactly where the program does not load the set.
    QDirIterator files(QStringLiteral(MONTERA_TEST_DATA), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        const Run check = run({"check", "--json", file});
        const Run dump = run({"dump", file});
        QVERIFY2(check.exitCode == dump.exitCode, qPrintable(file));
        const QJsonObject report = QJsonDocument::fromJson(check.out).array().first().toObject();
        bool hasError = false;
        for (const QJsonValue& finding : report["findings"].toArray())
            hasError = hasError || finding["severity"].toString() == u"error";
        QVERIFY2(hasError == (report["status"].toString() != u"ok"), qPrintable(file));
        ++count;
    }
    QVERIFY(count > 10);
}

QTEST_GUILESS_MAIN(TestCheck)
#include "test_check.moc"
