#pragma once

#include "historywriter.h"

#include <QObject>

class QWidget;

namespace montera {

class QuizShow;
struct QuestionBank;
struct Settings;

// Records the show's answers in the history beside the settings file. The
// history opens only once the window's first paint is done, so that the start
// of the show does no more than before it.
class ShowHistory final : public QObject {
public:
    explicit ShowHistory(const QString& programFolder);

    // Hands the show's answers to the writer; the writer starts after the
    // window's first paint.
    void attach(QuizShow& show, QWidget& window, const QuestionBank& bank, const Settings& settings);

    // Lets the writer finish what is queued, waiting 200 ms at most: the
    // process ends right after.
    void finish();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HistoryWriter m_writer;
    bool m_started = false;
};

} // namespace montera
