#pragma once

#include "historywriter.h"
#include "userfolders.h"

#include <QObject>

class QWidget;

namespace montera {

class QuizShow;
struct QuestionBank;
struct Settings;

// Records the show's answers in the history of the user's folders. The
// history opens only once the window's first paint is done, so that the start
// of the show does no more than before it.
class ShowHistory final : public QObject {
public:
    explicit ShowHistory(const UserFolders& folders);

    // Hands the show's answers to the writer; the writer starts after the
    // window's first paint, in a history folder created when missing. When
    // the folder cannot be created, one line on standard error says so and
    // nothing is recorded.
    void attach(QuizShow& show, QWidget& window, const QuestionBank& bank, const Settings& settings);

    // Lets the writer finish what is queued, waiting 200 ms at most: the
    // process ends right after.
    void finish();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the writer reads for the draw before it writes, when the draw
    // wants it.
    HistoryWriter::OnOpen historyReader();

    QuizShow* m_show = nullptr;
    const QuestionBank* m_bank = nullptr;
    const Settings* m_settings = nullptr;
    const UserFolders m_folders;
    HistoryWriter m_writer;
    bool m_started = false;
};

} // namespace montera
