#pragma once

#include "settingsdialog.h"
#include "settingsview.h"

#include <QStringList>

namespace montera {

// The settings window's behaviour without its window, for the show: the show
// loads the settings window hidden only to run its load handler (the settings
// read and the selected set's load) and to read the settings once more, and
// never shows it. Its list, selection and mode buttons are kept here as the
// window's controls would keep them.
class HiddenSettings final : public SettingsView {
public:
    // Runs the window's load handler.
    explicit HiddenSettings(const UserFolders& folders);

    // Reads the settings file into the settings and the controls once more.
    void readSettings();

    void setListFolders(const QStringList& folders) override;
    int itemCount() const override { return int(m_items.size()); }
    QString itemText(int index) const override { return m_items.value(index); }
    void selectItem(int index) override;
    QString selectedItemText() const override { return m_items.value(m_selected); }
    void setModeChecked(int mode) override { m_mode = mode; }
    bool isModeChecked(int mode) const override { return mode == m_mode; }
    void setDisplaySize(DisplaySize size) override { m_size = size; }
    DisplaySize displaySize() const override { return m_size; }
    void setShowAnswer(bool on) override { m_showAnswer = on; }
    bool isShowAnswerChecked() const override { return m_showAnswer; }
    void setLearn(bool on) override { m_learn = on; }
    bool isLearnChecked() const override { return m_learn; }
    void setHeader(const QString&, const QString&, const QString&) override {}
    void showBrowserError() override {}
    void showSaveError(const QString&, const QString&) override {}
    void unload() override {}

private:
    QStringList m_items;
    int m_selected = -1;
    // The window's first mode button starts switched on.
    int m_mode = 0;
    DisplaySize m_size = DisplaySize::Standard;
    bool m_showAnswer = false;
    bool m_learn = false;
    SettingsDialog m_dialog;
};

} // namespace montera
