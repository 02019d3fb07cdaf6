#include "ankipackage.h"
#include "flashcardcommand.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace montera;
using namespace montera::sets;

// Anki packages read into decks, and the import command's outputs.
class TestAnki : public QObject {
    Q_OBJECT

private slots:
    void decks_data();
    void decks();
    void badPackages_data();
    void badPackages();
    void outputs_data();
    void outputs();
    void encoding_data();
    void encoding();
};

namespace {

QString deckFile(const char* name)
{
    return QStringLiteral(MONTERA_TEST_DATA "/anki/") + QLatin1String(name);
}

// Each deck as "name: question>answer, ..." with "!" for a card its reader skips.
QStringList summary(const std::vector<Deck>& decks)
{
    QStringList out;
    for (const Deck& deck : decks) {
        QStringList cards;
        for (const Card& card : deck.cards)
            cards << (card.skipReason.isEmpty() ? card.question + u'>' + card.answer : QStringLiteral("!"));
        out << deck.name + QStringLiteral(": ") + cards.join(QStringLiteral(", "));
    }
    return out;
}

} // namespace

void TestAnki::decks_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("decks");

    QTest::newRow("schema 18 in zstd, names joined by ::, a cloze note type from its config")
        << deckFile("schema18.apkg") << ""
        << QStringList{
               "Default: ",
               "地理::川: 日本最長の川>信濃川, 世界最長の川>ナイル川, 流域面積が最大の川>アマゾン川, "
               "ロンドンを流れる川>テムズ川, パリを流れる川>セーヌ川, （　　）はパリを流れる。>セーヌ川",
               "地理::首都: フランス>パリ, ドイツ>ベルリン, イタリア>ローマ, スペイン>マドリード, "
               "エジプト>カイロ, ペルー>リマ"};
    // Subdecks hold their own cards; the filtered deck's card counts in its
    // home deck; suspended cards are left out; the reversed note type's
    // second card repeats its note and is not asked again. A note type
    // without the field asked for gives cards that are skipped; a cloze
    // note's answer is its cloze whatever is asked for.
    QTest::newRow("schema 11: subdecks, a filtered deck, a field picked by name")
        << deckFile("schema11-mixed.apkg") << "Meaning"
        << QStringList{"Default: ",
                       "Filtered Deck 1: ",
                       "少ない: !, !, !",
                       "日本語: !, !, !, !, !, !, !, !, !, !",
                       "日本語::動詞: !, !, !, !, !, !",
                       "日本語::名詞: 山>mountain, 川>river, 海>sea, 空>sky, 森>forest, 雨>rain",
                       "理科: 水は（温度）℃で沸騰し、0℃で凍る。>100, 水は100℃で沸騰し、（　　）℃で凍る。>0, "
                       "光合成では（　　）と水から酸素ができる。>二酸化炭素, "
                       "光合成では二酸化炭素と（　　）から酸素ができる。>水, "
                       "地球の衛星は（　　）。>月, !",
                       "空のデッキ: "};
}

void TestAnki::decks()
{
    QFETCH(QString, package);
    QFETCH(QString, answer);
    QFETCH(QStringList, decks);
    CardProblems problems;
    const auto read = readAnkiPackage(package, FieldChoice{{}, answer, FieldChoice::Side::AsNamed}, problems);
    QVERIFY(problems.empty());
    QCOMPARE(summary(read), decks);
}

void TestAnki::badPackages_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("answer"); // the field asked for

    QTest::newRow("a zip that is no deck") << deckFile("not-a-deck.apkg") << ""
                                           << "is no Anki package"
                                           << "";
    QTest::newRow("a truncated zip") << deckFile("truncated.apkg") << ""
                                     << "truncated"
                                     << "";
    QTest::newRow("a corrupt SQLite file") << deckFile("corrupt-sqlite.apkg") << ""
                                           << "no SQLite database"
                                           << "";
    QTest::newRow("fewer fields than the note type") << deckFile("short-fields.apkg") << "1600000000000"
                                                     << "the note has 1 fields, and its type Basic has 2"
                                                     << "";
    QTest::newRow("an entry leaving the archive") << deckFile("escaping-entry.apkg") << ""
                                                  << "leaves the archive"
                                                  << "";
    QTest::newRow("a zstd stream beyond 1 GB") << deckFile("zstd-bomb.apkg") << ""
                                               << "expands beyond 1 GB"
                                               << "";
    QTest::newRow("a field that no note type has") << deckFile("schema18.apkg") << ""
                                                   << "no note type has a field Furigana"
                                                   << "Furigana";
    QTest::newRow("no file") << deckFile("absent.apkg") << ""
                             << "cannot be read"
                             << "";
}

void TestAnki::badPackages()
{
    QFETCH(QString, package);
    QFETCH(QString, where);
    QFETCH(QString, error);
    QFETCH(QString, answer);
    // The temporary copy goes whatever happens.
    QTemporaryDir temp;
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toUtf8());
    CardProblems problems;
    readAnkiPackage(package, FieldChoice{{}, answer, FieldChoice::Side::AsNamed}, problems);
    qputenv("TMPDIR", tmpdir);
    QCOMPARE(problems.size(), size_t(1));
    QCOMPARE(problems[0].kind, ProblemKind::Error);
    QCOMPARE(problems[0].where, where);
    QVERIFY2(problems[0].message.contains(error), qPrintable(problems[0].message));
    QVERIFY(QDir(temp.path()).isEmpty());
}

void TestAnki::outputs_data()
{
    QTest::addColumn<QStringList>("args"); // OUT stands for the output folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("files");

    const QString mixed = deckFile("schema11-mixed.apkg");
    QTest::newRow("one file per usable deck, named after it")
        << QStringList{mixed, "--out-dir", "OUT/sets"} << 0
        << QStringList{"sets/日本語-名詞.qiz", "sets/日本語-動詞.qiz", "sets/日本語.qiz", "sets/理科.qiz"};
    QTest::newRow("names that clash get a number")
        << QStringList{mixed, "--out-dir", "OUT", "--title", "T"} << 0
        << QStringList{"T.qiz", "T-2.qiz", "T-3.qiz", "T-4.qiz"};
    QTest::newRow("-o with several usable decks")
        << QStringList{mixed, "-o", "OUT/x.qiz"} << 1 << QStringList{};
    QTest::newRow("-o with one picked")
        << QStringList{mixed, "-o", "OUT/x.qiz", "--deck", "日本語::名詞"} << 0 << QStringList{"x.qiz"};
    QTest::newRow("a deck of that name is absent")
        << QStringList{mixed, "-o", "OUT/x.qiz", "--deck", "日本語::形容詞"} << 1 << QStringList{};
    QTest::newRow("an error writes no file at all")
        << QStringList{deckFile("short-fields.apkg"), "--out-dir", "OUT/sets"} << 1 << QStringList{};
    QTest::newRow("no output named") << QStringList{mixed} << -1 << QStringList{};
}

void TestAnki::outputs()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, files);
    QTemporaryDir out;
    args.replaceInStrings(QStringLiteral("OUT"), out.path());
    QCOMPARE(importFlashcards(args), status);
    QStringList written;
    QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        written << QDir(out.path()).relativeFilePath(it.next());
    written.sort();
    files.sort();
    QCOMPARE(written, files);
}

void TestAnki::encoding_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("dog"); // 犬 as the file holds it; empty when none is written

    const QByteArray cp932("\x8C\xA2");
    const QByteArray utf8("\xE7\x8A\xAC");
    QTest::newRow("code page 932 when every character fits") << QStringList{} << 0 << cp932;
    QTest::newRow("UTF-8 when one does not") << QStringList{"--title", "café"} << 0 << utf8;
    QTest::newRow("UTF-8 forced") << QStringList{"--encoding", "utf-8"} << 0 << utf8;
    QTest::newRow("code page 932 forced on a character it lacks")
        << QStringList{"--title", "café", "--encoding", "cp932"} << 1 << QByteArray();
}

void TestAnki::encoding()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QByteArray, dog);
    QTemporaryDir out;
    const QString list = out.filePath(QStringLiteral("list.csv"));
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("犬,dog\n猫,cat\n鳥,bird\n魚,fish\n馬,horse\n");
    file.close();
    const QString set = out.filePath(QStringLiteral("set.qiz"));
    QCOMPARE(importFlashcards(QStringList{"--pairs", list, "-o", set} + options), status);
    QFile written(set);
    QCOMPARE(written.exists(), !dog.isEmpty());
    if (!dog.isEmpty()) {
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("\r\nQ=" + dog));
    }
}

QTEST_GUILESS_MAIN(TestAnki)
#include "test_anki.moc"
