#include "historywriter.h"

#include <QDeadlineTimer>
#include <QThread>

#include <vector>

namespace montera {

HistoryWriter::HistoryWriter(QString path, StoreFactory makeStore)
    : m_path(std::move(path))
    , m_makeStore(std::move(makeStore))
{}

HistoryWriter::~HistoryWriter()
{
    finish(std::chrono::milliseconds::max());
}

void HistoryWriter::start()
{
    if (m_thread)
        return;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->setObjectName(QStringLiteral("history"));
    m_thread->start(QThread::LowPriority);
}

void HistoryWriter::post(AnswerRecord answer)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping) {
            ++m_dropped;
            return;
        }
        m_queue.push_back(std::move(answer));
    }
    m_wake.notify_one();
}

bool HistoryWriter::finish(std::chrono::milliseconds timeout)
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (!m_thread)
        return true;
    const bool unlimited = timeout == std::chrono::milliseconds::max();
    return m_thread->wait(unlimited ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeout));
}

void HistoryWriter::run()
{
    const std::unique_ptr<AnswerStore> store = m_makeStore ? m_makeStore() : nullptr;
    HistoryState state = store ? store->open(m_path, HistoryAccess::ReadWrite) : HistoryState::Unavailable;
    std::vector<AnswerRecord> batch;
    for (;;) {
        bool last = false;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            batch.assign(std::make_move_iterator(m_queue.begin()), std::make_move_iterator(m_queue.end()));
            m_queue.clear();
            last = m_stopping;
        }
        if (!batch.empty()) {
            // A file that was locked at the start may be free by now.
            if (state == HistoryState::Locked)
                state = store->open(m_path, HistoryAccess::ReadWrite);
            const auto count = static_cast<std::int64_t>(batch.size());
            (store && store->record(batch) ? m_committed : m_dropped) += count;
            batch.clear();
        }
        if (last)
            return;
    }
}

} // namespace montera
