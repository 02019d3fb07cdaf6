#include "ankipackage.h"

#include "fieldtext.h"

#include <zip.h>
#include <zstd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace montera::sets {

namespace {

// The reader's own failure: the message of the one error a broken package gives.
struct PackageError {
    QString message;
};

enum class NoteKind { Standard, Cloze };

struct NoteType {
    QString name;
    NoteKind kind = NoteKind::Standard;
    QStringList fields;
};

struct Collection {
    std::map<qint64, NoteType> noteTypes;
    std::map<qint64, QString> decks;
};

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct ZstdFreer {
    void operator()(ZSTD_DStream* stream) const { ZSTD_freeDStream(stream); }
};

QString zipErrorText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

// A name that points outside the folder an archive is unpacked in.
bool leavesArchive(const QString& name)
{
    if (name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() >= 2 && name[1] == u':'))
        return true;
    const QStringList parts = name.split(QRegularExpression(QStringLiteral("[/\\\\]")));
    return parts.contains(QStringLiteral(".."));
}

// Copies an entry into `out`, through zstd when `compressed`, refusing more
// than kMaxEntryBytes of output.
void extract(zip_t* archive, zip_uint64_t index, const QString& name, bool compressed, QFile& out)
{
    const std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        throw PackageError{
            QStringLiteral("%1 cannot be read: %2").arg(name, zipErrorText(zip_get_error(archive)))};
    const std::unique_ptr<ZSTD_DStream, ZstdFreer> stream(compressed ? ZSTD_createDStream() : nullptr);
    std::vector<char> input(1 << 16);
    std::vector<char> output(ZSTD_DStreamOutSize());
    qint64 written = 0;
    size_t lastResult = 0;
    const auto write = [&](const char* data, size_t size) {
        written += qint64(size);
        if (written > kMaxEntryBytes)
            throw PackageError{QStringLiteral("%1 expands beyond 1 GB").arg(name)};
        if (out.write(data, qint64(size)) != qint64(size))
            throw PackageError{QStringLiteral("the temporary copy cannot be written: ") + out.errorString()};
    };
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), input.data(), input.size());
        if (got < 0)
            throw PackageError{
                QStringLiteral("%1 is damaged: %2").arg(name, zipErrorText(zip_file_get_error(file.get())))};
        if (got == 0)
            break;
        if (!compressed) {
            write(input.data(), size_t(got));
            continue;
        }
        // A frame that says at once how large it expands is refused before
        // any of it is written.
        if (written == 0) {
            const unsigned long long declared = ZSTD_getFrameContentSize(input.data(), size_t(got));
            if (declared != ZSTD_CONTENTSIZE_UNKNOWN && declared != ZSTD_CONTENTSIZE_ERROR &&
                declared > quint64(kMaxEntryBytes))
                throw PackageError{QStringLiteral("%1 expands beyond 1 GB").arg(name)};
        }
        ZSTD_inBuffer in{input.data(), size_t(got), 0};
        while (in.pos < in.size) {
            ZSTD_outBuffer chunk{output.data(), output.size(), 0};
            lastResult = ZSTD_decompressStream(stream.get(), &chunk, &in);
            if (ZSTD_isError(lastResult))
                throw PackageError{QStringLiteral("%1 is no zstd stream: %2")
                                       .arg(name, QString::fromUtf8(ZSTD_getErrorName(lastResult)))};
            write(output.data(), chunk.pos);
        }
    }
    if (compressed && lastResult != 0)
        throw PackageError{QStringLiteral("%1 ends inside its zstd stream").arg(name)};
}

// Unpacks the preferred collection of the package into `sqliteFile`.
void unpackCollection(const QString& fileName, const QString& sqliteFile)
{
    int code = 0;
    const std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        if (code == ZIP_ER_NOENT || code == ZIP_ER_OPEN || code == ZIP_ER_READ)
            throw PackageError{QStringLiteral("cannot be read: ") + text};
        throw PackageError{code == ZIP_ER_NOZIP
                               ? QStringLiteral("is no zip file, or a truncated one, so no Anki package")
                               : QStringLiteral("is a damaged or truncated zip file: ") + text};
    }
    static const char* const kPreferred[] = {"collection.anki21b", "collection.anki21", "collection.anki2"};
    std::optional<zip_uint64_t> found[3];
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            throw PackageError{QStringLiteral("is a damaged zip file: entry %1 has no name").arg(i)};
        const QString name = QString::fromUtf8(stat.name);
        if (leavesArchive(name))
            throw PackageError{QStringLiteral("its entry %1 leaves the archive").arg(name)};
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(kMaxEntryBytes))
            throw PackageError{QStringLiteral("its entry %1 expands beyond 1 GB").arg(name)};
        for (int k = 0; k < 3; ++k) {
            if (name == QLatin1String(kPreferred[k]))
                found[k] = zip_uint64_t(i);
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!found[k])
            continue;
        QFile out(sqliteFile);
        if (!out.open(QIODevice::WriteOnly))
            throw PackageError{QStringLiteral("the temporary copy cannot be written: ") + out.errorString()};
        extract(archive.get(), *found[k], QString::fromLatin1(kPreferred[k]), k == 0, out);
        return;
    }
    throw PackageError{QStringLiteral("is no Anki package: it holds none of collection.anki21b, "
                                      "collection.anki21 and collection.anki2")};
}

QSqlQuery run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw PackageError{QStringLiteral("the collection inside is no SQLite database that Anki wrote: ") +
                           query.lastError().text()};
    return query;
}

// The kind of a schema-18 note type, field 1 of the protocol-buffer message
// in its `config`; a message without it is a standard note type.
NoteKind kindOfConfig(const QByteArray& config)
{
    qsizetype at = 0;
    const auto varint = [&config, &at]() -> std::optional<quint64> {
        quint64 value = 0;
        for (int shift = 0; shift < 64 && at < config.size(); shift += 7) {
            const auto byte = static_cast<unsigned char>(config[at++]);
            value |= quint64(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return value;
        }
        return std::nullopt;
    };
    while (at < config.size()) {
        const std::optional<quint64> key = varint();
        if (!key)
            break;
        const quint64 wire = *key & 7;
        if (*key >> 3 == 1 && wire == 0) {
            const std::optional<quint64> kind = varint();
            return kind == 1u ? NoteKind::Cloze : NoteKind::Standard;
        }
        if (wire == 0) {
            varint();
        } else if (wire == 1) {
            at += 8;
        } else if (wire == 5) {
            at += 4;
        } else if (wire == 2) {
            const std::optional<quint64> length = varint();
            if (!length || *length > quint64(config.size()))
                break;
            at += qsizetype(*length);
        } else {
            break;
        }
    }
    return NoteKind::Standard;
}

Collection readSchema18(QSqlDatabase& db)
{
    Collection collection;
    for (QSqlQuery query = run(db, QStringLiteral("SELECT id, name, config FROM notetypes")); query.next();) {
        NoteType& type = collection.noteTypes[query.value(0).toLongLong()];
        type.name = query.value(1).toString();
        type.kind = kindOfConfig(query.value(2).toByteArray());
    }
    // Sorted here rather than by SQL: the names' collation is Anki's own.
    std::map<std::pair<qint64, int>, QString> fields;
    for (QSqlQuery query = run(db, QStringLiteral("SELECT ntid, ord, name FROM fields")); query.next();)
        fields[{query.value(0).toLongLong(), query.value(1).toInt()}] = query.value(2).toString();
    for (const auto& [key, name] : fields)
        collection.noteTypes[key.first].fields << name;
    for (QSqlQuery query = run(db, QStringLiteral("SELECT id, name FROM decks")); query.next();)
        collection.decks[query.value(0).toLongLong()] =
            query.value(1).toString().replace(QChar(0x1F), QStringLiteral("::"));
    return collection;
}

Collection readSchema11(QSqlDatabase& db)
{
    QSqlQuery query = run(db, QStringLiteral("SELECT models, decks FROM col"));
    if (!query.next())
        throw PackageError{QStringLiteral("the collection inside has no col row")};
    const QJsonObject models = QJsonDocument::fromJson(query.value(0).toByteArray()).object();
    const QJsonObject decks = QJsonDocument::fromJson(query.value(1).toByteArray()).object();
    Collection collection;
    for (auto it = models.begin(); it != models.end(); ++it) {
        const QJsonObject model = it.value().toObject();
        NoteType& type = collection.noteTypes[it.key().toLongLong()];
        type.name = model.value(u"name").toString();
        type.kind = model.value(u"type").toInt() == 1 ? NoteKind::Cloze : NoteKind::Standard;
        std::map<int, QString> fields;
        const QJsonArray list = model.value(u"flds").toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QJsonObject field = list[i].toObject();
            fields[field.value(u"ord").toInt(int(i))] = field.value(u"name").toString();
        }
        for (const auto& [ord, name] : fields)
            type.fields << name;
    }
    for (auto it = decks.begin(); it != decks.end(); ++it)
        collection.decks[it.key().toLongLong()] = it.value().toObject().value(u"name").toString();
    return collection;
}

// The card a note gives for `ord`, its question and answer still as HTML.
Card cardOf(const NoteType& type, const QStringList& fieldValues, int ord, const FieldChoice& choice)
{
    Card card;
    int asked = fieldIndex(choice.question, type.fields, 0);
    int answered = fieldIndex(choice.answer, type.fields, 1);
    if (type.kind == NoteKind::Cloze) {
        if (asked < 0 || asked >= fieldValues.size()) {
            card.skipReason =
                QStringLiteral("its note type %1 has no field %2").arg(type.name, choice.question);
            return card;
        }
        const QString field = fieldValues[asked];
        for (const Cloze& cloze : clozesOf(field)) {
            if (cloze.number == ord + 1) {
                card.skipReason = unshowableReason(field);
                card.question = fieldText(cloze.question, FieldMarkup::Html);
                card.answer = fieldText(cloze.answer, FieldMarkup::Html);
                return card;
            }
        }
        card.skipReason = QStringLiteral("its text has no cloze %1").arg(ord + 1);
        return card;
    }
    if (choice.side == FieldChoice::Side::Reversed)
        std::swap(asked, answered);
    for (const auto& [index, wanted] :
         {std::pair(asked, choice.side == FieldChoice::Side::Reversed ? choice.answer : choice.question),
          std::pair(answered,
                    choice.side == FieldChoice::Side::Reversed ? choice.question : choice.answer)}) {
        if (index < 0 || index >= fieldValues.size()) {
            card.skipReason = QStringLiteral("its note type %1 has no field %2")
                                  .arg(type.name, wanted.isEmpty() ? QString::number(index + 1) : wanted);
            return card;
        }
    }
    card.skipReason = unshowableReason(fieldValues[asked] + u'\n' + fieldValues[answered]);
    card.question = fieldText(fieldValues[asked], FieldMarkup::Html);
    card.answer = fieldText(fieldValues[answered], FieldMarkup::Html);
    return card;
}

std::vector<Deck> readCollection(QSqlDatabase& db, const FieldChoice& choice, CardProblems& problems)
{
    QSqlQuery schema = run(
        db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'notetypes'"));
    const bool newSchema = schema.next() && schema.value(0).toInt() > 0;
    const Collection collection = newSchema ? readSchema18(db) : readSchema11(db);

    // A field that no note type has is a mistake in the command, not a
    // reason to skip every card one by one.
    for (const QString& wanted : {choice.question, choice.answer}) {
        const bool anyHasIt = std::any_of(collection.noteTypes.begin(), collection.noteTypes.end(),
                                          [&wanted](const auto& entry) {
                                              const int index = fieldIndex(wanted, entry.second.fields, 0);
                                              return index >= 0 && index < entry.second.fields.size();
                                          });
        if (!wanted.isEmpty() && !anyHasIt)
            throw PackageError{QStringLiteral("no note type has a field %1").arg(wanted)};
    }
    std::map<qint64, Deck> decks;
    for (const auto& [id, name] : collection.decks)
        decks[id].name = name;
    QSqlQuery cards =
        run(db, QStringLiteral("SELECT c.nid, c.did, c.odid, c.ord, c.queue, n.mid, n.flds "
                               "FROM cards c JOIN notes n ON n.id = c.nid ORDER BY c.nid, c.ord"));
    qint64 lastStandardNote = 0;
    std::set<qint64> brokenNotes;
    while (cards.next()) {
        const qint64 note = cards.value(0).toLongLong();
        const qint64 home =
            cards.value(2).toLongLong() != 0 ? cards.value(2).toLongLong() : cards.value(1).toLongLong();
        const int ord = cards.value(3).toInt();
        const bool suspended = cards.value(4).toInt() == -1;
        const auto type = collection.noteTypes.find(cards.value(5).toLongLong());
        const QString where = QString::number(note);
        if (suspended || brokenNotes.contains(note))
            continue;
        if (type == collection.noteTypes.end()) {
            problems.push_back(
                {ProblemKind::Error, where, QStringLiteral("the note's type is not in the collection")});
            brokenNotes.insert(note);
            continue;
        }
        if (type->second.kind == NoteKind::Standard && note == lastStandardNote)
            continue;
        const QStringList values = cards.value(6).toString().split(QChar(0x1F));
        if (values.size() < type->second.fields.size()) {
            problems.push_back({ProblemKind::Error, where,
                                QStringLiteral("the note has %1 fields, and its type %2 has %3")
                                    .arg(values.size())
                                    .arg(type->second.name)
                                    .arg(type->second.fields.size())});
            brokenNotes.insert(note);
            continue;
        }
        if (type->second.kind == NoteKind::Standard)
            lastStandardNote = note;
        Card card = cardOf(type->second, values, ord, choice);
        card.origin = where;
        Deck& deck = decks[home];
        if (deck.name.isEmpty())
            deck.name = QStringLiteral("deck %1").arg(home);
        deck.cards.push_back(std::move(card));
    }
    std::vector<Deck> result;
    for (auto& [id, deck] : decks)
        result.push_back(std::move(deck));
    std::sort(result.begin(), result.end(), [](const Deck& a, const Deck& b) { return a.name < b.name; });
    return result;
}

} // namespace

std::vector<Deck> readAnkiPackage(const QString& fileName, const FieldChoice& fields, CardProblems& problems)
{
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        problems.push_back(
            {ProblemKind::Error, {}, QStringLiteral("no temporary folder: ") + folder.errorString()});
        return {};
    }
    const QString sqliteFile = folder.filePath(QStringLiteral("collection.sqlite"));
    const QString connection = QStringLiteral("anki-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::vector<Deck> decks;
    try {
        unpackCollection(fileName, sqliteFile);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(sqliteFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw PackageError{QStringLiteral("the collection inside cannot be opened: ") +
                               db.lastError().text()};
        decks = readCollection(db, fields, problems);
    } catch (const PackageError& error) {
        problems.push_back({ProblemKind::Error, {}, error.message});
        decks.clear();
    }
    QSqlDatabase::removeDatabase(connection);
    return decks;
}

} // namespace montera::sets
