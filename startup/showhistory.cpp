#include "showhistory.h"

#include "bank.h"
#include "globals.h"
#include "historymodule.h"
#include "quizshow.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace montera {

ShowHistory::ShowHistory(const QString& programFolder)
    : m_writer(QDir(programFolder).filePath(kHistoryFileName), newHistoryStore)
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
        record.answeredAt = QDateTime::currentSecsSinceEpoch();
        m_writer.post(std::move(record));
    });
}

bool ShowHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_started) {
        m_started = true;
        watched->removeEventFilter(this);
        // Posted, so that it runs once this paint is done.
        QTimer::singleShot(0, this, [this] { m_writer.start(); });
    }
    return false;
}

void ShowHistory::finish()
{
    m_writer.finish(std::chrono::milliseconds(200));
}

} // namespace montera
