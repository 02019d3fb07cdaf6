#include "fileutil.h"
#include "testutil.h"

#include <QTest>

#include <unistd.h>

using namespace montera;

class TestFileUtil : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readText_data();
    void readText();
    void readSetText_data();
    void readSetText();
    void missingFile_data();
    void missingFile();
    void readBinary_data();
    void readBinary();
    void writeText();
    void writeReplacesAndKeepsOldOnFailure();
    void writeInPlaceInReadOnlyFolder();
    void getLine_data();
    void getLine();
    void getLineBeyondShortRange();
    void getDoc_data();
    void getDoc();
    void itemOf();

private:
    QTemporaryDir m_dir;
    int m_warnings = 0;
};

void TestFileUtil::init()
{
    m_warnings = 0;
    setOversizeWarning([this] { ++m_warnings; });
}

void TestFileUtil::readText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("two lines, last unterminated")
        << QByteArray("a\r\nb") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b", ""};
    QTest::newRow("two lines, last terminated")
        << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b", ""};
    QTest::newRow("lone CR ends a line")
        << QByteArray("a\rb\r") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b", ""};
    QTest::newRow("lone LF is ordinary")
        << QByteArray("a\nb\r\nc") << QStringLiteral("a\nb\r\nc\r\n") << QStringList{"a\nb", "c", ""};
    QTest::newRow("blank line kept") << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral("a\r\n\r\nb\r\n")
                                     << QStringList{"a", "", "b", ""};
    QTest::newRow("empty file") << QByteArray() << QString() << QStringList{""};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringLiteral("\r\n") << QStringList{"", ""};
    QTest::newRow("code page 932") << QByteArray("Q=\x96\xE2\x91\xE8\r\n") << QStringLiteral("Q=問題\r\n")
                                   << QStringList{"Q=問題", ""};
    QTest::newRow("lead byte before line end")
        << QByteArray("a\x82\r\nb") << QStringLiteral("a\u30FB\r\nb\r\n") << QStringList{"a\u30FB", "b", ""};
}

void TestFileUtil::readText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const QString path = m_dir.filePath("text.txt");
    testutil::writeBytes(path, bytes);

    QString readText = "junk";
    QVERIFY(ReadTextFile(path, readText));
    QCOMPARE(readText, text);
    QStringList readLines{"junk", "junk"};
    QVERIFY(ReadTextLines(path, readLines));
    QCOMPARE(readLines, lines);
}

void TestFileUtil::readSetText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("utf8");

    QTest::newRow("code page 932 keeps lone LF")
        << cp932::encode(u"あ\nい") << QStringList{"あ\nい", ""} << false;
    QTest::newRow("UTF-8 with LF alone") << QByteArray("\xE5\xAF\x8C\n"
                                                       "a\n\nb\n")
                                         << QStringList{"富", "a", "", "b", ""} << true;
    QTest::newRow("UTF-8 with a CR keeps LF in its line") << QByteArray("\xE5\xAF\x8C\n"
                                                                        "a\r\nb")
                                                          << QStringList{"富\na", "b", ""} << true;
    QTest::newRow("mark dropped, bad bytes replaced") << QByteArray("\xEF\xBB\xBF"
                                                                    "a\xFF"
                                                                    "b\r\n")
                                                      << QStringList{"a\uFFFDb", ""} << true;
}

void TestFileUtil::readSetText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(bool, utf8);
    const QString path = m_dir.filePath("set.qiz");
    testutil::writeBytes(path, bytes);

    TextEncoding encoding = TextEncoding::Cp932;
    QStringList readLines;
    QVERIFY(ReadTextLines(path, readLines, encoding));
    QCOMPARE(readLines, lines);
    QCOMPARE(encoding == TextEncoding::Utf8, utf8);
    QString text;
    QVERIFY(ReadTextFile(path, text, encoding));
    QCOMPARE(text, lines.mid(0, lines.size() - 1).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void TestFileUtil::missingFile_data()
{
    QTest::addColumn<int>("operation");
    QTest::newRow("ReadTextFile") << 0;
    QTest::newRow("ReadTextLines") << 1;
    QTest::newRow("ReadBinaryFile") << 2;
    QTest::newRow("a folder") << 3;
}

void TestFileUtil::missingFile()
{
    QFETCH(int, operation);
    const QString path = m_dir.filePath("missing.qiz");
    QString text;
    QStringList lines;
    QByteArray bytes;
    switch (operation) {
    case 0:
        QVERIFY(!ReadTextFile(path, text));
        QCOMPARE(text, QString());
        break;
    case 1:
        QVERIFY(!ReadTextLines(path, lines));
        QCOMPARE(lines, QStringList{""});
        break;
    case 2:
        QVERIFY(!ReadBinaryFile(path, bytes));
        break;
    default:
        QVERIFY(!ReadBinaryFile(m_dir.path(), bytes));
        QVERIFY(!ReadTextLines(m_dir.path(), lines));
    }
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_warnings, 0);
}

void TestFileUtil::readBinary_data()
{
    QTest::addColumn<qsizetype>("fileSize");
    QTest::addColumn<int>("warnings");
    QTest::newRow("empty") << qsizetype(0) << 0;
    QTest::newRow("ten bytes") << qsizetype(10) << 0;
    QTest::newRow("exactly the buffer") << kBinaryBufferSize << 0;
    QTest::newRow("one byte more") << kBinaryBufferSize + 1 << 1;
    QTest::newRow("far beyond") << qsizetype(3 * 1024 * 1024) << 1;
}

void TestFileUtil::readBinary()
{
    QFETCH(qsizetype, fileSize);
    QFETCH(int, warnings);
    QByteArray content(fileSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < fileSize; ++i)
        content[i] = static_cast<char>(1 + i % 251);
    const QString path = m_dir.filePath("set.5tq");
    testutil::writeBytes(path, content);

    QByteArray bytes;
    QVERIFY(ReadBinaryFile(path, bytes));
    QCOMPARE(bytes.size(), kBinaryBufferSize);
    const qsizetype kept = qMin(fileSize, kBinaryBufferSize);
    QCOMPARE(bytes.first(kept), content.first(kept));
    QCOMPARE(bytes.count('\0'), kBinaryBufferSize - kept);
    QCOMPARE(m_warnings, warnings);
}

void TestFileUtil::writeText()
{
    const QString path = m_dir.filePath("モンテラ.ini");
    QVERIFY(WriteTextFile(path, QStringLiteral("[Setting]\r\nFILE=問題.qiz\r\nMODE=2\r\n")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Setting]\r\nFILE=\x96\xE2\x91\xE8.qiz\r\nMODE=2\r\n"));
}

void TestFileUtil::writeReplacesAndKeepsOldOnFailure()
{
    const QString path = m_dir.filePath("replace.ini");
    QVERIFY(WriteTextFile(path, QStringLiteral("a long first text\r\n")));
    QVERIFY(WriteTextFile(path, QStringLiteral("b\r\n")));
    QString text;
    QVERIFY(ReadTextFile(path, text));
    QCOMPARE(text, QStringLiteral("b\r\n"));

    // A name inside a folder that does not exist cannot be written.
    QVERIFY(!WriteTextFile(m_dir.filePath("no/such/folder.ini"), QStringLiteral("x")));
}

void TestFileUtil::writeInPlaceInReadOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders anyway");
    QTemporaryDir dir;
    const QString path = dir.filePath("モンテラ.ini");
    QVERIFY(WriteTextFile(path, QStringLiteral("old\r\n")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(WriteTextFile(path, QStringLiteral("new\r\n")));
    QVERIFY(!WriteTextFile(dir.filePath("other.ini"), QStringLiteral("x")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString text;
    QVERIFY(ReadTextFile(path, text));
    QCOMPARE(text, QStringLiteral("new\r\n"));
}

void TestFileUtil::getLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    const QString ab = QStringLiteral("a\r\nb\r\n");
    QTest::newRow("first keeps CR") << ab << 0 << QStringLiteral("a\r");
    QTest::newRow("second keeps CR") << ab << 1 << QStringLiteral("b\r");
    QTest::newRow("after the last LF") << ab << 2 << QString();
    QTest::newRow("far past the end") << ab << 9 << QString();
    QTest::newRow("negative") << ab << -1 << QString();
    QTest::newRow("empty text") << QString() << 0 << QString();
    QTest::newRow("no LF at all") << QStringLiteral("abc") << 0 << QString();
    QTest::newRow("piece after last LF never returned") << QStringLiteral("a\nb") << 1 << QString();
    QTest::newRow("two LFs in a row") << QStringLiteral("a\n\nb\n") << 1 << QString();
    QTest::newRow("blank file line is a lone CR")
        << QStringLiteral("a\r\n\r\nb\r\n") << 1 << QStringLiteral("\r");
}

void TestFileUtil::getLine()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(GetLine(line, text), expected);
}

void TestFileUtil::getLineBeyondShortRange()
{
    // Texts and line numbers past the signed 16-bit range keep working.
    QString text;
    for (int i = 0; i < 40000; ++i)
        text += QString::number(i) + QStringLiteral("\r\n");
    QCOMPARE(GetLine(39999, text), QStringLiteral("39999\r"));
    QCOMPARE(GetLine(40000, text), QString());
    QCOMPARE(GetDoc(QString(40000, u'x') + QStringLiteral("=v")), QStringLiteral("v"));
}

void TestFileUtil::getDoc_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("later = belongs to the value") << "KEY=a=b"
                                                  << "a=b";
    QTest::newRow("= last") << "KEY="
                            << "";
    QTest::newRow("no =") << "KEY"
                          << "";
    QTest::newRow("blanks stay") << "KEY = v "
                                 << " v ";
    QTest::newRow("only =") << "="
                            << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFileUtil::getDoc()
{
    QFETCH(QString, line);
    QFETCH(QString, value);
    QCOMPARE(GetDoc(line), value);
}

void TestFileUtil::itemOf()
{
    const QStringList items{"a", "b"};
    QCOMPARE(ItemOf(1, items), QStringLiteral("b"));
    QCOMPARE(ItemOf(2, items), QString());
    QCOMPARE(ItemOf(-1, items), QString());
}

QTEST_GUILESS_MAIN(TestFileUtil)
#include "test_fileutil.moc"
