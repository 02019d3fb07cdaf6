#include "historymodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <cstdio>
#include <mutex>

namespace montera {

namespace {

using NewStore = AnswerStore* (*)();
using NewProgress = QWidget* (*)(const QString&, const QString&, const QString&, QWidget*);

// The module's function of that name; loads the module once.
QFunctionPointer moduleFunction(const char* name)
{
    static std::mutex mutex;
    static QLibrary* module = nullptr;
    const std::lock_guard lock(mutex);
    if (!module) {
        module = new QLibrary(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("montera-history")));
        if (!module->load())
            std::fprintf(stderr, "montera: %s\n", module->errorString().toLocal8Bit().constData());
    }
    return module->isLoaded() ? module->resolve(name) : nullptr;
}

} // namespace

std::unique_ptr<AnswerStore> newHistoryStore()
{
    const auto make = reinterpret_cast<NewStore>(moduleFunction("montera_history_new_store"));
    return std::unique_ptr<AnswerStore>(make ? make() : nullptr);
}

QWidget* newProgressWindow(const QString& historyPath, const QString& setFile, const QString& setTitle,
                           QWidget* parent)
{
    const auto make = reinterpret_cast<NewProgress>(moduleFunction("montera_history_new_progress_window"));
    return make ? make(historyPath, setFile, setTitle, parent) : nullptr;
}

} // namespace montera
