// The import of an Anki package of 20,000 notes, end to end: unzipping,
// reading the collection, the wrong choices and writing the sets (10 of
// them). The package is a schema-11 collection made once in a temporary
// folder, with answers of several kinds.

#include "flashcardcommand.h"

#include <benchmark/benchmark.h>
#include <zip.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <random>

namespace {

constexpr int kNotes = 20000;

QString answerOf(std::mt19937& random)
{
    static const QString kana =
        QStringLiteral("かきくけこさしすせそたちつてとなにぬねのまみむめもらりるれろ");
    QString answer;
    const int length = 2 + int(random() % 6);
    switch (random() % 3) {
    case 0:
        return QStringLiteral("%1年").arg(600 + random() % 1400);
    case 1:
        for (int k = 0; k < length; ++k)
            answer += kana[qsizetype(random() % kana.size())];
        return answer;
    default:
        for (int k = 0; k < length + 2; ++k)
            answer += QChar(u'a' + char16_t(random() % 26));
        return answer;
    }
}

QString makePackage(const QTemporaryDir& folder)
{
    const QString sqlite = folder.filePath(QStringLiteral("collection.anki2"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(sqlite);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("CREATE TABLE col (id integer primary key, models text, decks text)"));
        query.exec(QStringLiteral("CREATE TABLE notes (id integer primary key, mid integer, flds text)"));
        query.exec(QStringLiteral("CREATE TABLE cards (id integer primary key, nid integer, did integer, "
                                  "odid integer, ord integer, queue integer)"));
        query.exec(
            QStringLiteral("INSERT INTO col VALUES (1, '{\"1\": {\"name\": \"Basic\", \"type\": 0, \"flds\": "
                           "[{\"name\": \"Front\", \"ord\": 0}, {\"name\": \"Back\", \"ord\": 1}]}}', "
                           "'{\"1\": {\"name\": \"単語\"}}')"));
        db.transaction();
        QSqlQuery note(db);
        note.prepare(QStringLiteral("INSERT INTO notes VALUES (?, 1, ?)"));
        QSqlQuery card(db);
        card.prepare(QStringLiteral("INSERT INTO cards VALUES (?, ?, 1, 0, 0, 0)"));
        std::mt19937 random(1);
        for (int i = 1; i <= kNotes; ++i) {
            note.addBindValue(i);
            note.addBindValue(QStringLiteral("問題 <b>%1</b>").arg(i) + QChar(0x1F) + answerOf(random));
            note.exec();
            card.addBindValue(i);
            card.addBindValue(i);
            card.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    const QString package = folder.filePath(QStringLiteral("words.apkg"));
    int error = 0;
    zip_t* archive = zip_open(package.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t* source = zip_source_file(archive, sqlite.toUtf8().constData(), 0, -1);
    zip_file_add(archive, "collection.anki2", source, ZIP_FL_ENC_UTF_8);
    zip_close(archive);
    return package;
}

void importTwentyThousandNotes(benchmark::State& state)
{
    const QTemporaryDir folder;
    const QString package = makePackage(folder);
    const QString out = folder.filePath(QStringLiteral("sets"));
    for (auto _ : state) {
        const int status = montera::sets::importFlashcards({package, QStringLiteral("--out-dir"), out});
        if (status != 0)
            state.SkipWithError("the import failed");
    }
}
BENCHMARK(importTwentyThousandNotes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
