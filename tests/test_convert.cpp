#include "dump.h"
#include "findings.h"
#include "qizwriter.h"
#include "set5tq.h"
#include "testutil.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace montera;

// `montera-sets convert`: a set written as QIZ loads to the same bank, CRs
// aside, for the sets kept in tests/data and for random sets of every format.
class TestConvert : public QObject {
    Q_OBJECT

private slots:
    void dataFiles();
    void randomSets_data();
    void randomSets();

private:
    // Converts the file in both encodings and compares; false when it does
    // not load, so that the caller can count.
    bool roundTrip(const QString& path);
    QTemporaryDir m_dir;
    std::unique_ptr<QuestionBank> m_original = std::make_unique<QuestionBank>();
    std::unique_ptr<QuestionBank> m_converted = std::make_unique<QuestionBank>();
};

namespace {

// The dump of the bank with every CR taken out of its texts.
QByteArray dumpWithoutCr(const QuestionBank& bank)
{
    auto copy = std::make_unique<QuestionBank>(bank);
    for (QString* text : {&copy->SetTitle, &copy->SetCreator, &copy->SetVersion})
        text->remove(u'\r');
    for (int q = 0; q <= copy->LastQuestion; ++q) {
        copy->QuestionText[q].remove(u'\r');
        copy->QuestionTitle[q].remove(u'\r');
        for (QString& choice : copy->Choices[q])
            choice.remove(u'\r');
    }
    return sets::dumpJson(*copy, LoadOutcome::Ok, TextEncoding::Cp932);
}

} // namespace

bool TestConvert::roundTrip(const QString& path)
{
    std::int16_t mode = 0;
    if (LoadQuestion(*m_original, mode, path) != LoadOutcome::Ok)
        return false;
    const sets::WrittenSet set = sets::setFromBank(*m_original);
    const QByteArray expected = dumpWithoutCr(*m_original);
    for (const TextEncoding encoding : {TextEncoding::Cp932, TextEncoding::Utf8}) {
        if (!sets::unencodableCharacters(set, encoding).empty())
            continue;
        const QString converted = m_dir.filePath(QStringLiteral("converted.qiz"));
        testutil::writeBytes(converted, sets::qizBytes(set, encoding));
        LoadReport report;
        const LoadOutcome outcome = LoadQuestion(*m_converted, mode, converted, &report);
        if (outcome != LoadOutcome::Ok || report.encoding != encoding)
            qWarning("%s does not load back as %s", qPrintable(path), textEncodingName(encoding));
        const QByteArray actual = sets::dumpJson(*m_converted, outcome, TextEncoding::Cp932);
        if (actual != expected) {
            qWarning("%s\n  converted %s\n  original  %s", textEncodingName(encoding), actual.constData(),
                     expected.constData());
            QTest::qFail("the converted set differs", __FILE__, __LINE__);
            return false;
        }
    }
    return true;
}

void TestConvert::dataFiles()
{
    QDirIterator files(QStringLiteral(MONTERA_TEST_DATA), QDir::Files, QDirIterator::Subdirectories);
    int loaded = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        loaded += roundTrip(file) ? 1 : 0;
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(file));
    }
    QVERIFY(loaded > 10);
}

void TestConvert::randomSets_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("qiz") << "qiz";
    QTest::newRow("5tx") << "5tx";
    QTest::newRow("5tq") << "5tq";
}

void TestConvert::randomSets()
{
    QFETCH(QString, format);
    QRandomGenerator random(12);
    // Any bytes but the line ends, or any characters for a UTF-8 set.
    const auto bytes = [&random](int most) {
        QByteArray out(random.bounded(most + 1), Qt::Uninitialized);
        for (char& byte : out) {
            do
                byte = char(random.bounded(256));
            while (byte == '\r');
        }
        return out;
    };
    const auto text = [&random, &bytes](bool utf8) {
        if (!utf8)
            return bytes(12);
        QString out;
        for (int i = random.bounded(8); i > 0; --i) {
            const char32_t pick[] = {u'あ',         u'A',      u'\n',
                                     U'\U0001F600', u'\uFFFD', char32_t(0x4E00 + random.bounded(0x5000))};
            const char32_t ch = pick[random.bounded(6)];
            out += QString::fromUcs4(&ch, 1);
        }
        return out.toUtf8();
    };
    int loaded = 0;
    for (int n = 0; n < 300; ++n) {
        QByteArray content;
        const bool utf8 = format != u"5tq" && random.bounded(2) == 0;
        if (format == u"qiz") {
            const char* tags[] = {
                "S=", "C=", "V=", "Q=", "Q=", "A1=", "A2=", "A3=", "A4=", "A5=", "A =", "[", "A6="};
            for (int i = random.bounded(40); i > 0; --i) {
                const int tag = random.bounded(13);
                content += tags[tag];
                content += tag == 10 ? QByteArray::number(random.bounded(-40000, 40000)) : text(utf8);
                content += "\r\n";
            }
        } else if (format == u"5tx") {
            for (int i = 5 + random.bounded(40); i > 0; --i)
                content += text(utf8) + "\r\n";
        } else {
            testutil::Set5tq set;
            int block = 8;
            for (int s = 0; s < kSectionCount; ++s) {
                const int count = random.bounded(4);
                set.section(s, QString(), count, block, "SET" + bytes(9));
                set.put(qsizetype(s) * kBlockSize, bytes(16));
                for (int k = 0; k < count; ++k, ++block)
                    set.put(qsizetype(block) * kBlockSize, bytes(kBlockSize).leftJustified(kBlockSize, ' '));
            }
            content = set.file(block);
        }
        if (utf8)
            content.prepend(kUtf8Bom);
        const QString path = m_dir.filePath(QStringLiteral("random.") + format);
        testutil::writeBytes(path, content);
        loaded += roundTrip(path) ? 1 : 0;
        if (QTest::currentTestFailed())
            QFAIL(content.toHex().constData());
    }
    QVERIFY2(loaded > 100, qPrintable(QString::number(loaded)));
}

QTEST_GUILESS_MAIN(TestConvert)
#include "test_convert.moc"
