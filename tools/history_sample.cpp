// Writes an answer history for a set as a month of shows would leave it, for
// the screenshot of the progress window: 30 days of answers, the share right
// rising as the questions are learnt, a few questions missed again and again.
//   history_sample HISTORY SET

#include "bank.h"
#include "historystore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>

#include <memory>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    using namespace montera;
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    const QString setPath = QString::fromLocal8Bit(argv[2]);
    if (LoadQuestion(*bank, mode, setPath) != LoadOutcome::Ok)
        return 1;
    HistoryStore history;
    if (history.open(QString::fromLocal8Bit(argv[1]), HistoryAccess::ReadWrite) != HistoryState::Writable)
        return 1;
    QRandomGenerator random(20260101);
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    std::vector<AnswerRecord> answers;
    for (int daysAgo = 29; daysAgo >= 0; --daysAgo) {
        // Some days the screensaver hardly runs.
        const int asked = daysAgo % 7 == 3 ? 0 : 10 + int(random.bounded(40));
        for (int i = 0; i < asked; ++i) {
            const int q = int(random.bounded(bank->LastQuestion + 1));
            // Questions 3, 7 and 12 stay hard; the others are learnt over the month.
            const double chance = (q == 3 || q == 7 || q == 12) ? 0.2 : 0.35 + 0.55 * (29 - daysAgo) / 29.0;
            const bool right = random.generateDouble() < chance;
            AnswerRecord a;
            a.setFile = QFileInfo(setPath).fileName();
            a.setTitle = bank->SetTitle;
            a.questionText = bank->QuestionText[size_t(q)];
            a.choices = bank->Choices[size_t(q)];
            a.answerIndex = bank->AnswerIndex[size_t(q)];
            a.outcome = right ? AnswerOutcome::Right
                              : (random.bounded(4) == 0 ? AnswerOutcome::TimedOut : AnswerOutcome::Wrong);
            a.pickedSlot = a.outcome == AnswerOutcome::Wrong ? 0 : -1;
            a.pickedChoice = a.outcome == AnswerOutcome::Wrong ? (a.answerIndex + 1) % 5 : -1;
            a.barTicks = a.outcome == AnswerOutcome::TimedOut ? 200 : int(random.bounded(200));
            a.answeredAt = now - daysAgo * 86400 - int(random.bounded(3600));
            answers.push_back(a);
        }
    }
    return history.record(answers) ? 0 : 1;
}
