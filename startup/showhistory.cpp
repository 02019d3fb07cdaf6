#include "showhistory.h"

#include "bank.h"
#include "consoletext.h"
#include "globals.h"
#include "historymodule.h"
#include "quizshow.h"

#include <QDir>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace montera {

ShowHistory::ShowHistory(const UserFolders& folders)
    : m_folders(folders)
    , m_writer(folders.historyFile(), newHistoryStore)
{}

void ShowHistory::attach(QuizShow& show, QWidget& window, const QuestionBank& bank, const Settings& settings)
{
    window.installEventFilter(this);
    show.setAnswerSink([this, &bank, &settings](const AskedQuestion& asked) {
        const auto q = static_cast<size_t>(asked.question);
        AnswerRecord record;
        record.setFile = settings.SetFileName;
        record.setTitle = bank.SetTitle;
        record.questionText = bank.QuestionText[q];
        record.choices = bank.Choices[q];
        record.answerIndex = bank.AnswerIndex[q];
        record.outcome = static_cast<AnswerOutcome>(asked.end);
        record.pickedSlot = asked.pickedSlot;
        record.pickedChoice = asked.pickedChoice;
        record.barTicks = asked.barTicks;
        record.mode = asked.mode;
        record.answeredAt = asked.answeredAt;
        record.answerShown = asked.answerShown;
        m_writer.post(std::move(record));
    });
    m_show = &show;
    m_bank = &bank;
    m_settings = &settings;
}

HistoryWriter::OnOpen ShowHistory::historyReader()
{
    if (!m_show->wantsHistory())
        return {};
    // Shared copies of the bank's strings, cheap to take here; the store
    // makes their fingerprints on the writer's thread.
    std::vector<QuestionKey> questions(static_cast<size_t>(m_bank->LastQuestion) + 1);
    for (size_t q = 0; q < questions.size(); ++q)
        questions[q] = {m_bank->QuestionText[q], m_bank->Choices[q], m_bank->AnswerIndex[q]};
    return [this, file = m_settings->SetFileName, title = m_bank->SetTitle,
            questions = std::move(questions)](AnswerStore& store) {
        std::vector<QuestionSummary> summaries = store.summaries(file, title, questions);
        if (summaries.empty())
            return;
        // The show's thread takes them between two ticks.
        QMetaObject::invokeMethod(
            this,
            [this, summaries = std::move(summaries)]() mutable { m_show->loadHistory(std::move(summaries)); },
            Qt::QueuedConnection);
    };
}

bool ShowHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_started) {
        m_started = true;
        watched->removeEventFilter(this);
        // Posted, so that it runs once this paint is done.
        QTimer::singleShot(0, this, [this] {
            QString error;
            if (!m_folders.createDataFolder(error)) {
                const QString line =
                    QStringLiteral("montera: cannot create the folder of the answer history %1: %2\n")
                        .arg(QDir::toNativeSeparators(m_folders.userSetsFolder()), error);
                writeConsoleText(ConsoleStream::Error, line.toUtf8());
                return;
            }
            m_writer.start(historyReader());
        });
    }
    return false;
}

void ShowHistory::finish()
{
    m_writer.finish(std::chrono::milliseconds(200));
}

} // namespace montera
