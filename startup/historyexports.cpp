// The history module's entry points, which the program looks up by name
// (startup/historymodule.cpp).

#include "historystore.h"
#include "progresswindow.h"

extern "C" Q_DECL_EXPORT montera::AnswerStore* montera_history_new_store()
{
    return new montera::HistoryStore;
}

extern "C" Q_DECL_EXPORT QWidget* montera_history_new_progress_window(const QString& historyPath,
                                                                      const QString& setFile,
                                                                      const QString& setTitle,
                                                                      QWidget* parent)
{
    return new montera::ProgressWindow(historyPath, setFile, setTitle, parent);
}
