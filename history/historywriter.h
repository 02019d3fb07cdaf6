#pragma once

#include "historystore.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace montera {

// Records the show's answers on a thread of its own, with a connection of its
// own, so that the show's thread never waits on the disk: post() only queues.
// The thread commits whatever is queued as soon as it wakes, one transaction
// for all of it.
class HistoryWriter {
public:
    // Makes the store on the writer's thread; may give null, and then
    // nothing is recorded.
    using StoreFactory = std::function<std::unique_ptr<AnswerStore>()>;

    HistoryWriter(QString path, StoreFactory makeStore);
    // Writes what is queued and stops, without a time limit.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Starts the thread, which opens the history and writes what was posted
    // before and after. Before start() nothing touches the disk.
    void start();

    // Queues the answer. Never waits for the disk.
    void post(AnswerRecord answer);

    // Asks the thread to write what is queued and to stop, and waits for it
    // at most the timeout; true when it stopped in time. Answers posted
    // later are dropped.
    bool finish(std::chrono::milliseconds timeout);

    // Answers committed and answers dropped (the file locked, not writable,
    // or of a newer program) so far.
    std::int64_t committed() const { return m_committed.load(); }
    std::int64_t dropped() const { return m_dropped.load(); }

private:
    void run();

    const QString m_path;
    const StoreFactory m_makeStore;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<AnswerRecord> m_queue;
    bool m_stopping = false;
    std::unique_ptr<QThread> m_thread;
    std::atomic<std::int64_t> m_committed = 0;
    std::atomic<std::int64_t> m_dropped = 0;
};

} // namespace montera
