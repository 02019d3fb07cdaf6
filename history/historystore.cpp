#include "historystore.h"

#include "consoletext.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <cstdio>
#include <optional>
#include <utility>

namespace montera {

namespace {

// The statements that bring the schema from version n to n + 1, in order.
// Each list runs in one transaction with the version's update.
//
// sets: a set is its file name with its title; a renamed or retitled set
// starts afresh. questions: one row per question fingerprint of a set, with
// the running summary a draw needs without reading every answer (asked and
// right count judged answers; streak counts the right answers since the last
// miss; last_at and last_outcome are of the last judged answer). answers: one
// row per asked question; slot and choice only on a wrong answer.
const std::vector<std::vector<const char*>> kMigrations = {
    {
        "PRAGMA application_id = 1299468897",
        "CREATE TABLE sets (id INTEGER PRIMARY KEY, file TEXT NOT NULL, title TEXT NOT NULL,"
        " UNIQUE (file, title))",
        "CREATE TABLE questions (id INTEGER PRIMARY KEY,"
        " set_id INTEGER NOT NULL REFERENCES sets (id) ON DELETE CASCADE,"
        " fingerprint BLOB NOT NULL, text TEXT NOT NULL, answer TEXT NOT NULL,"
        " asked INTEGER NOT NULL DEFAULT 0, right INTEGER NOT NULL DEFAULT 0,"
        " streak INTEGER NOT NULL DEFAULT 0, last_at INTEGER, last_outcome INTEGER,"
        " UNIQUE (set_id, fingerprint))",
        "CREATE TABLE answers (id INTEGER PRIMARY KEY,"
        " question_id INTEGER NOT NULL REFERENCES questions (id) ON DELETE CASCADE,"
        " at INTEGER NOT NULL, outcome INTEGER NOT NULL, slot INTEGER, choice INTEGER,"
        " ticks INTEGER NOT NULL, mode INTEGER NOT NULL)",
        // Covers the chart's query, which then never reads the table.
        "CREATE INDEX answers_by_question ON answers (question_id, at, outcome)",
    },
    // What a draw needs to tell how well a question is known: whether a miss
    // had its right answer shown, misses after a question was learned, and
    // when its answer was last before the viewer's eyes. Files of version 1
    // did not know whether an answer was shown: only their right answers
    // count as learning.
    {
        "ALTER TABLE answers ADD COLUMN shown INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE questions ADD COLUMN lapses INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE questions ADD COLUMN learned_at INTEGER",
        "UPDATE questions SET"
        " learned_at = (SELECT max(at) FROM answers WHERE question_id = questions.id AND outcome = 0),"
        " lapses = (SELECT count(*) FROM answers m WHERE m.question_id = questions.id"
        " AND m.outcome IN (1, 2) AND m.at > (SELECT min(at) FROM answers r"
        " WHERE r.question_id = questions.id AND r.outcome = 0))",
    },
};
static_assert(HistoryStore::kApplicationId == 1299468897);

// The set's rows, for the queries that take a file and an optional title;
// bound by bindSet.
constexpr const char* kSetIds = "SELECT id FROM sets WHERE file = ? AND (? IS NULL OR title = ?)";

// SQLite's result codes that mean the file is not a database we can read.
bool isDamage(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == u"26" || code == u"11"; // SQLITE_NOTADB, SQLITE_CORRUPT
}

QString text(const QString& s)
{
    // A null string would bind as NULL.
    return s.isNull() ? QStringLiteral("") : s;
}

void bindSet(QSqlQuery& query, const QString& file, const QString& title)
{
    const QVariant anyOrTitle = title.isNull() ? QVariant() : QVariant(title);
    query.addBindValue(file);
    query.addBindValue(anyOrTitle);
    query.addBindValue(anyOrTitle);
}

} // namespace

QByteArray questionFingerprint(const QString& text, const std::array<QString, 5>& choices, int answerIndex)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    // Separated by a character no set can hold, so that moving text between
    // the parts changes the fingerprint.
    hash.addData(text.toUtf8());
    for (const QString& choice : choices) {
        hash.addData(QByteArrayView("\0", 1));
        hash.addData(choice.toUtf8());
    }
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArray::number(answerIndex));
    return hash.result();
}

struct HistoryStore::Impl {
    bool warned = false;
    // Why the last batch failed.
    QString lastError;
    QString connection;
    QString path;
    std::optional<QSqlDatabase> db;
    std::optional<QSqlQuery> insertSet, selectSet, insertQuestion, selectQuestion, insertAnswer,
        updateSummary;
    QHash<QString, qint64> setIds;         // file + NUL + title
    QHash<QByteArray, qint64> questionIds; // set id + fingerprint

    Impl()
    {
        static std::atomic<int> counter = 0;
        connection = QStringLiteral("montera-history-%1").arg(counter++);
    }

    QSqlQuery query() const { return QSqlQuery(*db); }

    // A store speaks up once: a folder that cannot be written must not fill
    // the log with a line per answer.
    void warn(const QString& line)
    {
        if (std::exchange(warned, true))
            return;
        writeConsoleText(ConsoleStream::Error, (QStringLiteral("montera: ") + line + u'\n').toUtf8());
    }

    bool exec(const QString& sql) const
    {
        QSqlQuery q(*db);
        return q.exec(sql);
    }

    QSqlQuery prepared(const char* sql) const
    {
        QSqlQuery q(*db);
        q.prepare(QString::fromUtf8(sql));
        return q;
    }

    void close()
    {
        insertSet.reset();
        selectSet.reset();
        insertQuestion.reset();
        selectQuestion.reset();
        insertAnswer.reset();
        updateSummary.reset();
        setIds.clear();
        questionIds.clear();
        if (db) {
            db->close();
            db.reset();
            QSqlDatabase::removeDatabase(connection);
        }
    }

    bool connect(HistoryAccess access)
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db->setDatabaseName(path);
        // Another program holding the file makes a write wait this long at
        // most, and then fail; the driver's default would be five seconds.
        db->setConnectOptions(access == HistoryAccess::ReadOnly
                                  ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=100;QSQLITE_OPEN_READONLY")
                                  : QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
        return db->open();
    }

    // Runs the migrations from the file's version up to ours.
    bool migrate(int from)
    {
        for (int version = from; version < kSchemaVersion; ++version) {
            if (!db->transaction())
                return false;
            bool ok = true;
            for (const char* statement : kMigrations[static_cast<size_t>(version)])
                ok = ok && exec(QString::fromUtf8(statement));
            ok = ok && exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1));
            if (!ok || !db->commit()) {
                db->rollback();
                return false;
            }
        }
        return true;
    }

    void prepare()
    {
        insertSet = prepared("INSERT OR IGNORE INTO sets (file, title) VALUES (?, ?)");
        selectSet = prepared("SELECT id FROM sets WHERE file = ? AND title = ?");
        insertQuestion = prepared("INSERT OR IGNORE INTO questions (set_id, fingerprint, text, answer)"
                                  " VALUES (?, ?, ?, ?)");
        selectQuestion = prepared("SELECT id FROM questions WHERE set_id = ? AND fingerprint = ?");
        insertAnswer =
            prepared("INSERT INTO answers (question_id, at, outcome, slot, choice, ticks, mode, shown)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        // The same rules as addToSummary; every expression reads the row as
        // it was before the update.
        updateSummary = prepared("UPDATE questions SET asked = asked + 1, right = right + ?,"
                                 " streak = CASE WHEN ? THEN streak + 1 ELSE 0 END,"
                                 " lapses = lapses + (? = 0 AND learned_at IS NOT NULL),"
                                 " learned_at = CASE WHEN ? OR ? THEN ? ELSE learned_at END,"
                                 " last_at = ?, last_outcome = ? WHERE id = ?");
    }

    std::optional<qint64> idOf(QSqlQuery& insert, QSqlQuery& select, const QVariantList& insertValues,
                               const QVariantList& key)
    {
        for (int i = 0; i < insertValues.size(); ++i)
            insert.bindValue(i, insertValues[i]);
        if (!insert.exec()) {
            lastError = insert.lastError().text();
            return std::nullopt;
        }
        for (int i = 0; i < key.size(); ++i)
            select.bindValue(i, key[i]);
        if (!select.exec() || !select.next())
            return std::nullopt;
        const qint64 id = select.value(0).toLongLong();
        select.finish();
        return id;
    }

    bool recordOne(const AnswerRecord& a)
    {
        const QString title = text(a.setTitle);
        const QString setKey = a.setFile + QChar(0) + title;
        qint64 setId = setIds.value(setKey, -1);
        if (setId < 0) {
            const auto id = idOf(*insertSet, *selectSet, {a.setFile, title}, {a.setFile, title});
            if (!id)
                return false;
            setId = *id;
            setIds.insert(setKey, setId);
        }
        const QByteArray fingerprint = questionFingerprint(a.questionText, a.choices, a.answerIndex);
        const QByteArray questionKey = QByteArray::number(setId) + ':' + fingerprint;
        qint64 questionId = questionIds.value(questionKey, -1);
        if (questionId < 0) {
            const bool named = a.answerIndex >= 0 && a.answerIndex < 5;
            const QString answer =
                named ? text(a.choices[static_cast<size_t>(a.answerIndex)]) : QStringLiteral("");
            const auto id = idOf(*insertQuestion, *selectQuestion,
                                 {setId, fingerprint, text(a.questionText), answer}, {setId, fingerprint});
            if (!id)
                return false;
            questionId = *id;
            questionIds.insert(questionKey, questionId);
        }
        const bool wrong = a.outcome == AnswerOutcome::Wrong;
        insertAnswer->bindValue(0, questionId);
        insertAnswer->bindValue(1, QVariant::fromValue<qint64>(a.answeredAt));
        insertAnswer->bindValue(2, static_cast<int>(a.outcome));
        insertAnswer->bindValue(3, wrong ? QVariant(a.pickedSlot) : QVariant());
        insertAnswer->bindValue(4, wrong ? QVariant(a.pickedChoice) : QVariant());
        insertAnswer->bindValue(5, a.barTicks);
        insertAnswer->bindValue(6, a.mode);
        insertAnswer->bindValue(7, wrong || a.outcome == AnswerOutcome::TimedOut ? int(a.answerShown) : 0);
        if (!insertAnswer->exec()) {
            lastError = insertAnswer->lastError().text();
            return false;
        }
        if (a.outcome == AnswerOutcome::Abandoned)
            return true;
        const int right = a.outcome == AnswerOutcome::Right ? 1 : 0;
        const QVariant at = QVariant::fromValue<qint64>(a.answeredAt);
        updateSummary->bindValue(0, right);
        updateSummary->bindValue(1, right);
        updateSummary->bindValue(2, right);
        updateSummary->bindValue(3, right);
        updateSummary->bindValue(4, int(a.answerShown));
        updateSummary->bindValue(5, at);
        updateSummary->bindValue(6, at);
        updateSummary->bindValue(7, static_cast<int>(a.outcome));
        updateSummary->bindValue(8, questionId);
        if (updateSummary->exec())
            return true;
        lastError = updateSummary->lastError().text();
        return false;
    }

    bool recordAll(const std::vector<AnswerRecord>& answers)
    {
        if (!db->transaction()) {
            lastError = db->lastError().text();
            return false;
        }
        for (const AnswerRecord& a : answers) {
            if (!recordOne(a)) {
                db->rollback();
                return false;
            }
        }
        if (db->commit())
            return true;
        lastError = db->lastError().text();
        db->rollback();
        return false;
    }
};

HistoryStore::HistoryStore()
    : m_impl(std::make_unique<Impl>())
{}

std::unique_ptr<AnswerStore> makeHistoryStore()
{
    return std::make_unique<HistoryStore>();
}

HistoryStore::~HistoryStore()
{
    close();
}

void HistoryStore::close()
{
    m_impl->close();
    m_state = HistoryState::Closed;
}

HistoryState HistoryStore::open(const QString& path, HistoryAccess access)
{
    close();
    Impl& d = *m_impl;
    d.path = path;
    const bool existed = QFileInfo::exists(path);
    if (!existed && access == HistoryAccess::ReadOnly)
        return m_state = HistoryState::Unavailable;
    if (!d.connect(access)) {
        d.warn(QStringLiteral("cannot open the answer history %1: %2").arg(path, d.db->lastError().text()));
        d.close();
        return m_state = HistoryState::Unavailable;
    }

    // What the file is: ours, of a newer program, or something else.
    QSqlQuery probe = d.query();
    bool readable = probe.exec(QStringLiteral("PRAGMA application_id")) && probe.next();
    const qint64 applicationId = readable ? probe.value(0).toLongLong() : 0;
    int version = 0;
    if (readable) {
        readable = probe.exec(QStringLiteral("PRAGMA user_version")) && probe.next();
        version = readable ? probe.value(0).toInt() : 0;
    }
    const QSqlError probeError = probe.lastError();
    probe = QSqlQuery();
    if (!readable && !isDamage(probeError)) {
        // Locked for longer than the busy timeout, most likely: try another time.
        d.warn(QStringLiteral("cannot read the answer history %1: %2").arg(path, probeError.text()));
        d.close();
        return m_state = HistoryState::Locked;
    }
    bool damaged = !readable || (existed && applicationId != kApplicationId);
    if (!damaged && existed && version <= kSchemaVersion && access == HistoryAccess::ReadWrite) {
        QSqlQuery check = d.query();
        damaged = !check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next() ||
                  check.value(0).toString() != u"ok";
    }

    if (damaged) {
        d.close();
        if (access == HistoryAccess::ReadOnly) {
            d.warn(QStringLiteral("the answer history %1 is damaged or not ours").arg(path));
            return m_state = HistoryState::Unavailable;
        }
        // Moved aside, never deleted: it may matter to someone.
        const QFileInfo info(path);
        const QString aside =
            info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-") +
                                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                                (info.suffix().isEmpty() ? QString() : u'.' + info.suffix()));
        if (!QFile::rename(path, aside)) {
            d.warn(
                QStringLiteral("the answer history %1 is damaged or not ours and cannot be moved").arg(path));
            return m_state = HistoryState::Unavailable;
        }
        for (const char* companion : {"-wal", "-shm"}) {
            const QString from = path + QLatin1String(companion);
            if (QFile::exists(from))
                QFile::rename(from, aside + QLatin1String(companion));
        }
        d.warn(QStringLiteral("the answer history %1 is damaged or not ours; moved to %2, starting a new one")
                   .arg(path, aside));
        return open(path, access);
    }

    if (version > kSchemaVersion || access == HistoryAccess::ReadOnly) {
        if (access == HistoryAccess::ReadWrite) {
            // A newer program's file: read it, never change it.
            d.warn(
                QStringLiteral("the answer history %1 is of a newer version; nothing is recorded").arg(path));
            d.close();
            if (!d.connect(HistoryAccess::ReadOnly)) {
                d.close();
                return m_state = HistoryState::Unavailable;
            }
        }
        return m_state = HistoryState::ReadOnly;
    }

    // One writer and any number of readers at once. A synchronous setting of
    // NORMAL keeps every commit through a crash of the program; only a crash
    // of the system may lose the last ones.
    QSqlQuery setup = d.query();
    const bool ok = setup.exec(QStringLiteral("PRAGMA journal_mode = WAL")) &&
                    setup.exec(QStringLiteral("PRAGMA synchronous = NORMAL")) &&
                    setup.exec(QStringLiteral("PRAGMA foreign_keys = ON")) && d.migrate(version);
    setup = QSqlQuery();
    if (!ok) {
        d.warn(QStringLiteral("cannot write the answer history %1: %2").arg(path, d.db->lastError().text()));
        d.close();
        return m_state = HistoryState::Unavailable;
    }
    d.prepare();
    return m_state = HistoryState::Writable;
}

bool HistoryStore::record(const std::vector<AnswerRecord>& answers)
{
    if (m_state != HistoryState::Writable)
        return false;
    if (m_impl->recordAll(answers))
        return true;
    // The ids kept from earlier batches may have been erased meanwhile by
    // another connection: look them up afresh once.
    m_impl->setIds.clear();
    m_impl->questionIds.clear();
    if (m_impl->recordAll(answers))
        return true;
    m_impl->warn(
        QStringLiteral("cannot write the answer history %1: %2").arg(m_impl->path, m_impl->lastError));
    return false;
}

SetFigures HistoryStore::figures(const QString& setFile, const QString& setTitle, std::int64_t now,
                                 int utcOffset)
{
    SetFigures figures;
    figures.days.resize(30);
    if (m_state != HistoryState::Writable && m_state != HistoryState::ReadOnly)
        return figures;
    Impl& d = *m_impl;
    // One read transaction, so that the figures agree with each other while
    // a show writes.
    d.db->transaction();

    QSqlQuery totals = d.query();
    totals.prepare(QStringLiteral("SELECT coalesce(sum(asked), 0), coalesce(sum(right), 0) FROM questions"
                                  " WHERE set_id IN (%1)")
                       .arg(QLatin1String(kSetIds)));
    bindSet(totals, setFile, setTitle);
    if (totals.exec() && totals.next()) {
        figures.asked = totals.value(0).toLongLong();
        figures.right = totals.value(1).toLongLong();
    }

    const std::int64_t today = (now + utcOffset) / 86400;
    QSqlQuery days = d.query();
    days.prepare(QStringLiteral("SELECT (a.at + ?) / 86400 AS day, count(*), sum(a.outcome = 0)"
                                " FROM answers a JOIN questions q ON q.id = a.question_id"
                                " WHERE q.set_id IN (%1) AND a.at >= ? AND a.outcome != 3 GROUP BY day")
                     .arg(QLatin1String(kSetIds)));
    days.addBindValue(utcOffset);
    bindSet(days, setFile, setTitle);
    days.addBindValue(QVariant::fromValue<qint64>((today - 29) * 86400 - utcOffset));
    if (days.exec()) {
        while (days.next()) {
            const std::int64_t back = today - days.value(0).toLongLong();
            if (back < 0 || back >= 30)
                continue;
            DayFigures& day = figures.days[static_cast<size_t>(29 - back)];
            day.asked = days.value(1).toInt();
            day.right = days.value(2).toInt();
            if (back < 7) {
                figures.askedLast7Days += day.asked;
                figures.rightLast7Days += day.right;
            }
        }
    }

    QSqlQuery missed = d.query();
    missed.prepare(QStringLiteral("SELECT text, answer, asked - right AS misses, asked FROM questions"
                                  " WHERE set_id IN (%1) AND asked > right"
                                  " ORDER BY misses DESC, asked DESC, id LIMIT 10")
                       .arg(QLatin1String(kSetIds)));
    bindSet(missed, setFile, setTitle);
    if (missed.exec()) {
        while (missed.next())
            figures.mostMissed.push_back({missed.value(0).toString(), missed.value(1).toString(),
                                          missed.value(2).toInt(), missed.value(3).toInt()});
    }
    d.db->commit();
    return figures;
}

std::vector<QuestionSummary> HistoryStore::questionSummaries(const QString& setFile, const QString& setTitle)
{
    std::vector<QuestionSummary> summaries;
    if (m_state != HistoryState::Writable && m_state != HistoryState::ReadOnly)
        return summaries;
    QSqlQuery q = m_impl->query();
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT fingerprint, asked, right, streak, coalesce(last_at, 0),"
                       " coalesce(last_outcome, 3), lapses, learned_at FROM questions WHERE set_id IN (%1)")
            .arg(QLatin1String(kSetIds)));
    bindSet(q, setFile, setTitle);
    if (q.exec()) {
        while (q.next()) {
            QuestionSummary s{q.value(0).toByteArray(), q.value(1).toInt(),
                              q.value(2).toInt(),       q.value(3).toInt(),
                              q.value(4).toLongLong(),  static_cast<AnswerOutcome>(q.value(5).toInt())};
            s.lapses = q.value(6).toInt();
            const QVariant learnedAt = q.value(7);
            s.learnedAt = learnedAt.isNull() ? QuestionSummary::kNever : learnedAt.toLongLong();
            summaries.push_back(std::move(s));
        }
    }
    return summaries;
}

std::vector<QuestionSummary> HistoryStore::summaries(const QString& setFile, const QString& setTitle,
                                                     const std::vector<QuestionKey>& questions)
{
    if (m_state != HistoryState::Writable && m_state != HistoryState::ReadOnly)
        return {};
    QMultiHash<QByteArray, size_t> index;
    index.reserve(static_cast<qsizetype>(questions.size()));
    for (size_t i = 0; i < questions.size(); ++i)
        index.insert(questionFingerprint(questions[i].text, questions[i].choices, questions[i].answerIndex),
                     i);
    // The title as recorded: a set without one is recorded with an empty one.
    std::vector<QuestionSummary> summaries(questions.size());
    for (QuestionSummary& known : questionSummaries(setFile, text(setTitle))) {
        // A set may hold one question twice; both share its history.
        for (auto it = index.constFind(known.fingerprint);
             it != index.cend() && it.key() == known.fingerprint; ++it)
            summaries[it.value()] = known;
    }
    for (size_t i = 0; i < questions.size(); ++i) {
        if (summaries[i].fingerprint.isEmpty())
            summaries[i].fingerprint =
                questionFingerprint(questions[i].text, questions[i].choices, questions[i].answerIndex);
    }
    return summaries;
}

bool HistoryStore::erase(const QString& setFile, const QString& setTitle)
{
    if (m_state != HistoryState::Writable)
        return false;
    Impl& d = *m_impl;
    // The erased answers are overwritten in the file, not only unlinked.
    d.exec(QStringLiteral("PRAGMA secure_delete = ON"));
    if (!d.db->transaction())
        return false;
    bool ok = true;
    for (const char* sql :
         {"DELETE FROM answers WHERE question_id IN (SELECT id FROM questions WHERE set_id IN (%1))",
          "DELETE FROM questions WHERE set_id IN (%1)", "DELETE FROM sets WHERE id IN (%1)"}) {
        QSqlQuery q = d.query();
        q.prepare(QString::fromLatin1(sql).arg(QLatin1String(kSetIds)));
        bindSet(q, setFile, setTitle);
        ok = ok && q.exec();
    }
    if (ok && d.db->commit()) {
        d.setIds.clear();
        d.questionIds.clear();
        return true;
    }
    d.db->rollback();
    return false;
}

} // namespace montera
