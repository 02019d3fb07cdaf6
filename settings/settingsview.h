#pragma once

#include "globals.h"

#include <QString>
#include <QStringList>

namespace montera {

// What the settings logic needs of the settings window: its file list, its
// four mode buttons, its display options and its header labels. The window implements it over its
// controls; tests implement it with a recorder.
class SettingsView {
public:
    virtual ~SettingsView() = default;

    // Shows the question-set files of the folders in the list, each name
    // once.
    virtual void setListFolders(const QStringList& folders) = 0;
    virtual int itemCount() const = 0;
    virtual QString itemText(int index) const = 0;
    // Selects the item; a change of selection runs the list's click handler.
    virtual void selectItem(int index) = 0;
    // The selected item's text, or the empty string when none is selected.
    virtual QString selectedItemText() const = 0;
    // Switches on the mode button, which switches the other three off.
    virtual void setModeChecked(int mode) = 0;
    virtual bool isModeChecked(int mode) const = 0;
    // The display frame's size box and answer check box.
    virtual void setDisplaySize(DisplaySize size) = 0;
    virtual DisplaySize displaySize() const = 0;
    virtual void setShowAnswer(bool on) = 0;
    virtual bool isShowAnswerChecked() const = 0;
    virtual void setLearn(bool on) = 0;
    virtual bool isLearnChecked() const = 0;
    virtual void setHeader(const QString& title, const QString& version, const QString& creator) = 0;
    virtual void showBrowserError() = 0;
    // Tells the user that OK could not save the settings file, and why.
    virtual void showSaveError(const QString& fileName, const QString& reason) = 0;
    virtual void unload() = 0;

    // The start-when-idle box and its wait in minutes. A view without them
    // (the show's hidden reader, or a system whose own dialog starts the
    // screensaver) keeps these defaults, and the logic never asks it.
    virtual void setIdleStart(bool /*on*/, int /*waitMinutes*/) {}
    virtual bool isIdleStartChecked() const { return false; }
    virtual int idleWaitMinutes() const { return 0; }
    // The note under the wait; empty hides it.
    virtual void setIdleNote(const QString& /*note*/) {}
    // Tells the user why the watcher could not be started or stopped.
    virtual void showIdleStartError(const QString& /*message*/) {}
};

} // namespace montera
