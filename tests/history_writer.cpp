// Records answers through HistoryWriter into the history given as its
// argument, without end, one every millisecond or so; prints the number of
// each answer once it is posted. The history kill test starts it and kills it.
// The answers of a run are told apart by their time: the first argument after
// the file is the run's first number.

#include "historywriter.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    montera::HistoryWriter writer(QString::fromLocal8Bit(argv[1]), montera::makeHistoryStore);
    writer.start();
    const long long first = std::atoll(argv[2]);
    for (long long i = first;; ++i) {
        montera::AnswerRecord answer;
        answer.setFile = QStringLiteral("kill.qiz");
        answer.setTitle = QStringLiteral("Kill");
        answer.questionText = QStringLiteral("Q%1").arg(i % 50);
        answer.choices = {"a", "b", "c", "d", "e"};
        answer.outcome = i % 3 == 0 ? montera::AnswerOutcome::Right : montera::AnswerOutcome::Wrong;
        answer.barTicks = int(i % 200);
        answer.answeredAt = i;
        writer.post(std::move(answer));
        std::printf("%lld\n", i);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
