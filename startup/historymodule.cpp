#include "historymodule.h"

#include "consoletext.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <cstdio>
#include <mutex>

#ifdef MONTERA_HISTORY_BUILTIN
// The program carries the history itself (startup/historyexports.cpp).
extern "C" montera::AnswerStore* montera_history_new_store();
extern "C" QWidget* montera_history_new_progress_window(const QString&, const QString&, const QString&,
                                                        QWidget*);
#endif

namespace montera {

namespace {

using NewStore = AnswerStore* (*)();
using NewProgress = QWidget* (*)(const QString&, const QString&, const QString&, QWidget*);

// The module's function of that name; loads the module once.
QFunctionPointer moduleFunction(const char* name)
{
#ifdef MONTERA_HISTORY_BUILTIN
    if (qstrcmp(name, "montera_history_new_store") == 0)
        return reinterpret_cast<QFunctionPointer>(&montera_history_new_store);
    if (qstrcmp(name, "montera_history_new_progress_window") == 0)
        return reinterpret_cast<QFunctionPointer>(&montera_history_new_progress_window);
    return nullptr;
#else
    static std::mutex mutex;
    static QLibrary* module = nullptr;
    const std::lock_guard lock(mutex);
    if (!module) {
        // A package keeps the module in a library folder of its own, which the
        // build names; otherwise it lies beside the program.
        QString folder = QStringLiteral(MONTERA_HISTORY_MODULE_DIR);
        if (folder.isEmpty())
            folder = QCoreApplication::applicationDirPath();
        module = new QLibrary(QDir(folder).filePath(QStringLiteral("montera-history")));
        if (!module->load())
            writeConsoleText(ConsoleStream::Error,
                             (QStringLiteral("montera: ") + module->errorString() + u'\n').toUtf8());
    }
    return module->isLoaded() ? module->resolve(name) : nullptr;
#endif
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
