#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>

#include <array>

namespace montera {

// A list of the files of one folder whose names match any of a set of
// patterns, case-insensitively, sorted by name as the system's file lists are.
// Like the system's single-selection list box, it keeps its one selected item
// once it has one: no click or key takes the selection away.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(const QString& pattern, QWidget* parent = nullptr);

    // Shows the matching files of the folders, each name once; an unreadable
    // folder adds none.
    void setFolders(const QStringList& folders);

    // The names that the list would show for the folders.
    static QStringList matchingFiles(const QStringList& folders, const QString& pattern);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    // The patterns, separated by semicolons, e.g. "*.qiz;*.5tq": wildcards of
    // "*" (any run of characters) and "?" (any one character).
    QString m_pattern;
};

// The settings window: the question-set list, the set's header, the four play
// modes, the display frame (size, answer mark, the start when idle, progress
// button) and the OK, Cancel and download buttons. Enter and Space press the
// button that has the focus; no button is the window's default, so Enter
// elsewhere and Escape press nothing.
class frmSet : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "モンテラ v2.2 - 設定";
    static constexpr const char* kListPattern = "*.qiz;*.5tq";

    explicit frmSet(QWidget* parent = nullptr);
    ~frmSet() override;

    // Unloads the window: emits unloading() once and closes it. OK, Cancel and
    // the close box all end up here.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    // Controls of the window, by their design names; the control arrays keep
    // their indexes.
    std::array<QGroupBox*, 2> Frame1{};
    std::array<QRadioButton*, 4> optMode{};
    FileListBox* lstSetList = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdGetQuestion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCreater = nullptr;
    // The display frame on the right, added to the designed window.
    QGroupBox* fraDisplay = nullptr;
    QLabel* lblSize = nullptr;
    // The items in the order of the SIZE values.
    QComboBox* cboSize = nullptr;
    QCheckBox* chkShowAnswer = nullptr;
    QCheckBox* chkLearn = nullptr;
    // Whether the show starts when the desktop is idle, and after how many
    // minutes; the wait is disabled while the box is clear.
    QCheckBox* chkIdle = nullptr;
    QLabel* lblWait = nullptr;
    QSpinBox* spnWait = nullptr;
    // Word-wrapped, and hidden while it has no text.
    QLabel* lblIdleNote = nullptr;
    QPushButton* cmdStats = nullptr;

signals:
    // Emitted once when the window unloads, before it closes.
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void runUnload();

    bool m_unloaded = false;
};

} // namespace montera
