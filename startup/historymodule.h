#pragma once

#include "historystore.h"

#include <QString>

#include <memory>

class QWidget;

namespace montera {

// The answer history's store and progress window live in a module beside the
// program (libmontera-history.so, montera-history.dll), which brings the
// database library with it. The program loads it the first time it needs
// either, so that the show starts without it.

// A new store, or null when the module cannot be loaded (one line on
// standard error). Safe from any thread.
std::unique_ptr<AnswerStore> newHistoryStore();

// A new progress window of the set, or null when the module cannot be loaded.
QWidget* newProgressWindow(const QString& historyPath, const QString& setFile, const QString& setTitle,
                           QWidget* parent);

} // namespace montera
