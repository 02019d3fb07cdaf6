#include "codec932.h"

#include <QTest>

#include <iconv.h>

using namespace montera;

class TestCodec : public QObject {
    Q_OBJECT

private slots:
    void decodeVectors_data();
    void decodeVectors();
    void encodeVectors_data();
    void encodeVectors();
    void wholeDoubleByteSpaceMatchesIconv();
    void everyCharacterRoundTrips();
    void decodingNeverLosesAByte();
    void detectEncoding_data();
    void detectEncoding();
};

void TestCodec::decodeVectors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("Abc=1") << QStringLiteral("Abc=1");
    QTest::newRow("backslash stays") << QByteArray("\x5C") << QStringLiteral("\\");
    QTest::newRow("tilde stays") << QByteArray("\x7E") << QStringLiteral("~");
    QTest::newRow("nul stays") << QByteArray("a\0b", 3) << QString(QStringLiteral("a%1b").arg(QChar(0)));
    QTest::newRow("control codes untouched") << QByteArray("\x1A\x1C\x7F") << QStringLiteral("\x1A\x1C\x7F");
    QTest::newRow("half-width katakana")
        << QByteArray("\xA1\xB1\xDF") << QStringLiteral("\uFF61\uFF71\uFF9F");
    QTest::newRow("0x80") << QByteArray("\x80") << QStringLiteral("\u0080");
    QTest::newRow("0xA0") << QByteArray("\xA0") << QStringLiteral("\uF8F0");
    QTest::newRow("0xFD-0xFF") << QByteArray("\xFD\xFE\xFF") << QStringLiteral("\uF8F1\uF8F2\uF8F3");
    QTest::newRow("hiragana") << QByteArray("\x82\xA0\x82\xA2") << QStringLiteral("あい");
    QTest::newRow("wave dash form") << QByteArray("\x81\x60") << QStringLiteral("\uFF5E");
    QTest::newRow("windows forms") << QByteArray("\x81\x5F\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA")
                                   << QStringLiteral("\uFF3C\u2225\uFF0D\uFFE0\uFFE1\uFFE2");
    QTest::newRow("NEC row 13") << QByteArray("\x87\x40\x87\x82") << QStringLiteral("\u2460\u2116");
    QTest::newRow("NEC-selected IBM") << QByteArray("\xED\x40\xEE\xEF") << QStringLiteral("\u7E8A\u2170");
    QTest::newRow("IBM extension") << QByteArray("\xFA\x40\xFC\x4B") << QStringLiteral("\u2170\u9ED1");
    QTest::newRow("user-defined first") << QByteArray("\xF0\x40") << QStringLiteral("\uE000");
    QTest::newRow("user-defined last") << QByteArray("\xF9\xFC") << QStringLiteral("\uE757");
    QTest::newRow("bad trail consumes both") << QByteArray("\x81\x20x") << QStringLiteral("\u30FBx");
    QTest::newRow("undefined row") << QByteArray("\x85\x40") << QStringLiteral("\u30FB");
    QTest::newRow("trail 0x7F") << QByteArray("\x88\x7F") << QStringLiteral("\u30FB");
    QTest::newRow("lead at end") << QByteArray("a\x82") << QStringLiteral("a\u30FB");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestCodec::decodeVectors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(cp932::decode(bytes), text);
}

void TestCodec::detectEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");

    QTest::newRow("ascii") << QByteArray("Q=a\r\n") << false;
    QTest::newRow("code page 932") << cp932::encode(u"Q=日本の山\r\n") << false;
    QTest::newRow("mark") << QByteArray("\xEF\xBB\xBFQ=a") << true;
    QTest::newRow("mark, then no UTF-8") << QByteArray("\xEF\xBB\xBF\x82\xA0") << true;
    QTest::newRow("well-formed in UTF-8 only") << QByteArray("Q=\xE6\xBC\xA2\xE5\xAD\x97=") << true;
    QTest::newRow("lead byte at the end") << QByteArray("\xE3\x81\x82") << true;
    // Scanned pair by pair, as the decoder reads, this is a defined pair, a
    // katakana and a line end.
    QTest::newRow("の before CR LF") << QByteArray("\xE3\x81\xAE\r\n") << false;
    QTest::newRow("user-defined pair counts as defined") << QByteArray("\xF0\x90\x80\x80") << false;
    // From here on the bytes are no code page 932 either (0x81 0x20 is no
    // pair), so only the UTF-8 rule decides.
    QTest::newRow("overlong") << QByteArray("\xC0\xAF\x81\x20") << false;
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF\x81\x20") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80\x81\x20") << false;
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80\x81\x20") << false;
    QTest::newRow("cut sequence") << QByteArray("\x81\x20\xE5\xAF") << false;
}

void TestCodec::detectEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(detectTextEncoding(bytes) == TextEncoding::Utf8, utf8);
}

void TestCodec::encodeVectors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ascii") << QStringLiteral("FILE=a.qiz") << QByteArray("FILE=a.qiz");
    QTest::newRow("japanese") << QStringLiteral("モンテラ.ini")
                              << QByteArray("\x83\x82\x83\x93\x83\x65\x83\x89.ini");
    QTest::newRow("special singles") << QStringLiteral("\u0080\uF8F0\uF8F1\uF8F3")
                                     << QByteArray("\x80\xA0\xFD\xFF");
    QTest::newRow("half-width katakana") << QStringLiteral("\uFF71") << QByteArray("\xB1");
    // Characters with several codes take the lowest, never rows 0xED/0xEE.
    QTest::newRow("roman numeral one: NEC row") << QStringLiteral("\u2160") << QByteArray("\x87\x54");
    QTest::newRow("small roman one: IBM row") << QStringLiteral("\u2170") << QByteArray("\xFA\x40");
    QTest::newRow("not sign") << QStringLiteral("\uFFE2") << QByteArray("\x81\xCA");
    QTest::newRow("because") << QStringLiteral("\u2235") << QByteArray("\x81\xE6");
    QTest::newRow("approximately") << QStringLiteral("\u2252") << QByteArray("\x81\xE0");
    QTest::newRow("user-defined") << QStringLiteral("\uE001") << QByteArray("\xF0\x41");
    QTest::newRow("no code") << QStringLiteral("a\u00E9b") << QByteArray("a?b");
    QTest::newRow("outside the BMP is one ?") << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
}

void TestCodec::encodeVectors()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp932::encode(text), bytes);
}

void TestCodec::wholeDoubleByteSpaceMatchesIconv()
{
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
    int compared = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char out[8] = {};
            char* inPtr = in;
            char* outPtr = out;
            size_t inLeft = 2;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const QString ours = cp932::decode(QByteArrayView(in, 2));
            if (done == static_cast<size_t>(-1) || inLeft != 0) {
                QCOMPARE(ours, QStringLiteral("\u30FB"));
                continue;
            }
            const char16_t expected = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                            static_cast<unsigned char>(out[1]) << 8);
            if (ours != QString(QChar(expected)))
                QFAIL(qPrintable(QStringLiteral("pair %1 %2").arg(lead, 0, 16).arg(trail, 0, 16)));
            ++compared;
        }
    }
    iconv_close(cd);
    QCOMPARE(compared, 9604);
}

void TestCodec::everyCharacterRoundTrips()
{
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char16_t ch =
                cp932::pairToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            if (ch == 0)
                continue;
            const QString text(QChar{ch});
            QCOMPARE(cp932::decode(cp932::encode(text)), text);
        }
    }
    for (int byte = 0; byte < 0x100; ++byte) {
        if (cp932::isLeadByte(static_cast<unsigned char>(byte)))
            continue;
        const QByteArray single(1, static_cast<char>(byte));
        QCOMPARE(cp932::encode(cp932::decode(single)), single);
    }
}

void TestCodec::decodingNeverLosesAByte()
{
    // Every byte ends up in exactly one character: a lone byte gives one, a
    // lead byte and whatever follows it give one between them.
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(static_cast<char>((i * 7919) & 0xFF));
    const QString text = cp932::decode(bytes);
    qsizetype expected = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i, ++expected) {
        if (cp932::isLeadByte(static_cast<unsigned char>(bytes[i])))
            ++i;
    }
    QCOMPARE(text.size(), expected);
}

QTEST_APPLESS_MAIN(TestCodec)
#include "test_codec.moc"
