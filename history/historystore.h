#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace montera {

// The answer history's file; UserFolders says where it lies.
inline const QString kHistoryFileName = QStringLiteral("モンテラ履歴.db");

// How a question the show asked ended. The numbers are stored.
enum class AnswerOutcome : std::int8_t {
    Right = 0,
    Wrong = 1,
    TimedOut = 2,
    // Still open when the show ended.
    Abandoned = 3,
};

// One asked question as the show judged it, with what identifies the
// question: its set, and the text, choices and answer the fingerprint is made
// of. The strings are shared copies of the bank's, cheap to hand over.
struct AnswerRecord {
    QString setFile;
    QString setTitle;
    QString questionText;
    std::array<QString, 5> choices;
    int answerIndex = 0;
    AnswerOutcome outcome = AnswerOutcome::Abandoned;
    // The slot picked on a wrong answer and the choice it showed; -1 otherwise.
    int pickedSlot = -1;
    int pickedChoice = -1;
    // The time bar's steps before the answer; 200 on a time-out.
    int barTicks = 0;
    int mode = 0;
    // Seconds since 1970 in UTC.
    std::int64_t answeredAt = 0;
    // Whether the right choice was marked after a miss, so that the miss
    // taught the answer.
    bool answerShown = false;
};

// What the history keeps of one question between shows, without a read of
// its answers: the judged answers (right, wrong, timed out) and what a draw
// that asks missed questions sooner needs to tell how well it is known.
struct QuestionSummary {
    // Seconds since 1970 (UTC) of a question never learned.
    static constexpr std::int64_t kNever = INT64_MIN;

    QByteArray fingerprint;
    int asked = 0;
    int right = 0;
    // Right answers since the last miss.
    int streak = 0;
    // The last judged answer: seconds since 1970 (UTC), 0 when none.
    std::int64_t lastAt = 0;
    AnswerOutcome lastOutcome = AnswerOutcome::Abandoned;
    // Misses of a question that had been learned before.
    int lapses = 0;
    // The last time the right answer was before the viewer's eyes: a right
    // answer, or a miss with the right choice marked.
    std::int64_t learnedAt = kNever;
};

// Adds a judged answer to the summary, as the history does when it records
// one (in SQL, in historystore.cpp); an abandoned question changes nothing.
// Inline, so that the show keeps summaries without the history module.
inline void addToSummary(QuestionSummary& summary, AnswerOutcome outcome, bool answerShown, std::int64_t at)
{
    if (outcome == AnswerOutcome::Abandoned)
        return;
    const bool right = outcome == AnswerOutcome::Right;
    ++summary.asked;
    if (right) {
        ++summary.right;
        ++summary.streak;
    } else {
        if (summary.learnedAt != QuestionSummary::kNever)
            ++summary.lapses;
        summary.streak = 0;
    }
    if (right || answerShown)
        summary.learnedAt = at;
    summary.lastAt = at;
    summary.lastOutcome = outcome;
}

// What identifies a question in the history: the parts of its fingerprint.
struct QuestionKey {
    QString text;
    std::array<QString, 5> choices;
    int answerIndex = 0;
};

// The identity of a question: its text, choices and answer, hashed. A set
// reordered keeps it; an edited question gets a new one.
QByteArray questionFingerprint(const QString& text, const std::array<QString, 5>& choices, int answerIndex);

// One day of the chart: questions judged and answered right.
struct DayFigures {
    int asked = 0;
    int right = 0;
};

struct MissedQuestion {
    QString text;
    // The right choice's text; empty when the answer names no choice.
    QString answer;
    int misses = 0;
    int asked = 0;
};

// What the progress window and the stats command show of one set. Asked counts
// the questions that were judged (right, wrong or timed out); a question left
// open at the end of a show is kept but not counted.
struct SetFigures {
    std::int64_t asked = 0;
    std::int64_t right = 0;
    std::int64_t askedLast7Days = 0;
    std::int64_t rightLast7Days = 0;
    // The last 30 days in local time, oldest first; the last one is today.
    std::vector<DayFigures> days;
    // The ten questions missed most often, most missed first.
    std::vector<MissedQuestion> mostMissed;
};

enum class HistoryAccess { ReadWrite, ReadOnly };

enum class HistoryState {
    Closed,
    Writable,
    // Opened for reading only: asked for, or written by a newer program.
    ReadOnly,
    // Could not be opened or created; nothing is recorded.
    Unavailable,
    // Held by another program for longer than the busy timeout; opening
    // again later may work.
    Locked,
};

// Where the writer thread records answers. The program reaches the SQLite
// store through the history module only once it needs it, so that the show
// starts without loading a database library.
class AnswerStore {
public:
    virtual ~AnswerStore() = default;
    virtual HistoryState open(const QString& path, HistoryAccess access) = 0;
    virtual bool record(const std::vector<AnswerRecord>& answers) = 0;
    // The summaries of a set's questions, named by file and title, for the
    // questions given, in their order; a question the history does not know
    // has an empty one. One query over the set's questions, no read of their
    // answers. Empty when the history is not open.
    virtual std::vector<QuestionSummary> summaries(const QString& setFile, const QString& setTitle,
                                                   const std::vector<QuestionKey>& questions) = 0;
};

// The one owner of the history file: it opens the file, brings its schema up
// to date, and is the only code that speaks SQL to it. Each store has a
// connection of its own, which belongs to the thread that opened it.
class HistoryStore final : public AnswerStore {
public:
    HistoryStore();
    ~HistoryStore() override;
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the history, creating it for ReadWrite when missing. A corrupt or
    // foreign file is moved aside (ReadWrite only) with its -wal and -shm
    // files and a new one started; a file of a newer program opens read-only.
    // Problems go to standard error, one line in the store's life at most.
    HistoryState open(const QString& path, HistoryAccess access) override;
    HistoryState state() const { return m_state; }
    void close();

    // Records the answers in one transaction; false, with nothing recorded,
    // when the file is locked for longer than the busy timeout or cannot be
    // written.
    bool record(const std::vector<AnswerRecord>& answers) override;

    // The figures of the set named by its file and title; a null title takes
    // every title the file has had. now is in seconds since 1970 (UTC) and
    // utcOffset the local time's offset in seconds.
    SetFigures figures(const QString& setFile, const QString& setTitle, std::int64_t now, int utcOffset);

    std::vector<QuestionSummary> summaries(const QString& setFile, const QString& setTitle,
                                           const std::vector<QuestionKey>& questions) override;

    // Every question of the set the history knows, in no order; a null
    // title takes every title the file has had.
    std::vector<QuestionSummary> questionSummaries(const QString& setFile, const QString& setTitle);

    // Removes the set's answers and questions; false when nothing could be
    // written.
    bool erase(const QString& setFile, const QString& setTitle);

    // The number of the schema this program writes.
    static constexpr int kSchemaVersion = 2;
    // Marks a file as a history of this program ("MtRa").
    static constexpr std::int32_t kApplicationId = 0x4D745261;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    HistoryState m_state = HistoryState::Closed;
};

// A new HistoryStore, as HistoryWriter's store factory.
std::unique_ptr<AnswerStore> makeHistoryStore();

} // namespace montera
