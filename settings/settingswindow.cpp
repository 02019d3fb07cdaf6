#include "settingswindow.h"

#include "bank.h"
#include "frmset.h"
#include "globals.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>

namespace montera {

SettingsWindow::SettingsWindow(frmSet& form, const UserFolders& folders, const QUrl& page,
                               SettingsDialog::UrlOpener openUrl, ProgressMaker makeProgress,
                               SettingsDialog::IdleSwitch idleSwitch)
    : QObject(&form)
    , m_form(form)
    , m_historyFile(folders.historyFile())
    , m_makeProgress(std::move(makeProgress))
    , m_dialog(*this, globalBank(), globalSettings(), folders, page, std::move(openUrl), idleSwitch)
{
    if (idleSwitch) {
        connect(form.chkIdle, &QCheckBox::toggled, this, [this] { m_dialog.idleStartChanged(); });
        connect(form.spnWait, &QSpinBox::valueChanged, this, [this] { m_dialog.idleStartChanged(); });
        readGnomeIdleDelay();
    } else {
        for (QWidget* control :
             {static_cast<QWidget*>(form.chkIdle), static_cast<QWidget*>(form.lblWait),
              static_cast<QWidget*>(form.spnWait), static_cast<QWidget*>(form.lblIdleNote)})
            control->hide();
    }
    // A change of selection, by the mouse, the arrow keys or the settings
    // file, loads the set and shows its header.
    // The focus alone makes an item current without selecting it; only a
    // real selection counts.
    connect(form.lstSetList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_form.lstSetList->selectedItems().isEmpty())
            m_dialog.lstSetListClick();
    });
    connect(form.cmdOK, &QPushButton::clicked, this, [this] { m_dialog.cmdOKClick(); });
    connect(form.cmdCancel, &QPushButton::clicked, this, [this] { m_dialog.cmdCancelClick(); });
    connect(form.cmdGetQuestion, &QPushButton::clicked, this, [this] { m_dialog.cmdGetQuestionClick(); });
    connect(form.cmdStats, &QPushButton::clicked, this, &SettingsWindow::openProgress);
}

SettingsWindow& SettingsWindow::attach(frmSet& form, const UserFolders& folders, const QUrl& page,
                                       SettingsDialog::UrlOpener openUrl, ProgressMaker makeProgress,
                                       SettingsDialog::IdleSwitch idleSwitch)
{
    auto* window = new SettingsWindow(form, folders, page, std::move(openUrl), std::move(makeProgress),
                                      std::move(idleSwitch));
    window->m_dialog.FormLoad();
    return *window;
}

void SettingsWindow::openProgress()
{
    if (!m_makeProgress)
        return;
    const QString selected = selectedItemText();
    const QString setFile = selected.isEmpty() ? globalSettings().SetFileName : selected;
    // The selection loaded the set; a set that failed to load has no title
    // of its own, and then every title of its name counts.
    const QString title =
        selected.isEmpty() || globalBank().SetTitle.isEmpty() ? QString() : globalBank().SetTitle;
    QWidget* window = m_makeProgress(m_historyFile, setFile, title, &m_form);
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->show();
}

void SettingsWindow::readSettings()
{
    m_dialog.readSettings();
}

void SettingsWindow::setListFolders(const QStringList& folders)
{
    m_form.lstSetList->setFolders(folders);
}

int SettingsWindow::itemCount() const
{
    return m_form.lstSetList->count();
}

QString SettingsWindow::itemText(int index) const
{
    const QListWidgetItem* item = m_form.lstSetList->item(index);
    return item ? item->text() : QString();
}

void SettingsWindow::selectItem(int index)
{
    m_form.lstSetList->setCurrentRow(index);
}

QString SettingsWindow::selectedItemText() const
{
    const QList<QListWidgetItem*> selected = m_form.lstSetList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void SettingsWindow::setModeChecked(int mode)
{
    m_form.optMode[static_cast<size_t>(mode)]->setChecked(true);
}

bool SettingsWindow::isModeChecked(int mode) const
{
    return m_form.optMode[static_cast<size_t>(mode)]->isChecked();
}

void SettingsWindow::setDisplaySize(DisplaySize size)
{
    m_form.cboSize->setCurrentIndex(static_cast<int>(size));
}

DisplaySize SettingsWindow::displaySize() const
{
    return static_cast<DisplaySize>(std::max(0, m_form.cboSize->currentIndex()));
}

void SettingsWindow::setShowAnswer(bool on)
{
    m_form.chkShowAnswer->setChecked(on);
}

bool SettingsWindow::isShowAnswerChecked() const
{
    return m_form.chkShowAnswer->isChecked();
}

void SettingsWindow::setLearn(bool on)
{
    m_form.chkLearn->setChecked(on);
}

bool SettingsWindow::isLearnChecked() const
{
    return m_form.chkLearn->isChecked();
}

void SettingsWindow::setHeader(const QString& title, const QString& version, const QString& creator)
{
    m_form.lblTitle->setText(title);
    m_form.lblVersion->setText(version);
    m_form.lblCreater->setText(creator);
}

void SettingsWindow::showBrowserError()
{
    QMessageBox::warning(&m_form, QStringLiteral("モンテラ"), QStringLiteral("ブラウザを起動できません"));
}

void SettingsWindow::showSaveError(const QString& fileName, const QString& reason)
{
    QMessageBox::warning(
        &m_form, QStringLiteral("モンテラ"),
        QStringLiteral("設定を保存できません\n%1\n%2").arg(QDir::toNativeSeparators(fileName), reason));
}

void SettingsWindow::unload()
{
    m_form.unload();
}

void SettingsWindow::setIdleStart(bool on, int waitMinutes)
{
    m_form.chkIdle->setChecked(on);
    m_form.spnWait->setValue(waitMinutes);
}

bool SettingsWindow::isIdleStartChecked() const
{
    return m_form.chkIdle->isChecked();
}

int SettingsWindow::idleWaitMinutes() const
{
    return m_form.spnWait->value();
}

void SettingsWindow::setIdleNote(const QString& note)
{
    m_form.lblIdleNote->setText(note);
    m_form.lblIdleNote->setVisible(!note.isEmpty());
}

void SettingsWindow::showIdleStartError(const QString& message)
{
    QMessageBox::warning(&m_form, QStringLiteral("モンテラ"),
                         QStringLiteral("操作がないときに起動できません\n%1").arg(message));
}

void SettingsWindow::readGnomeIdleDelay()
{
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty())
        return;
    auto* query = new QProcess(this);
    query->setStandardErrorFile(QProcess::nullDevice());
    connect(query, &QProcess::finished, this, [this, query](int status, QProcess::ExitStatus how) {
        if (how == QProcess::NormalExit && status == 0)
            m_dialog.setGnomeIdleDelay(
                parseGnomeIdleDelay(QString::fromUtf8(query->readAllStandardOutput())));
        query->deleteLater();
    });
    connect(query, &QProcess::errorOccurred, query, &QObject::deleteLater);
    query->start(gsettings, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.session"),
                             QStringLiteral("idle-delay")});
}

SettingsDialog::IdleSwitch idleProgramSwitch()
{
#ifdef Q_OS_WIN
    return {};
#else
    return [](const QStringList& arguments) {
        const QString program =
            QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("montera-idle"));
        QProcess idle;
        idle.setProcessChannelMode(QProcess::MergedChannels);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        idle.start(program, arguments);
        // The watcher is given two seconds to prove that it runs.
        const bool finished = idle.waitForFinished(15000);
        QApplication::restoreOverrideCursor();
        if (!finished)
            return idle.error() == QProcess::FailedToStart
                       ? QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(program), idle.errorString())
                       : QStringLiteral("%1 did not answer").arg(QDir::toNativeSeparators(program));
        if (idle.exitStatus() == QProcess::NormalExit && idle.exitCode() == 0)
            return QString();
        const QString output = QString::fromUtf8(idle.readAll()).trimmed();
        return output.isEmpty() ? QStringLiteral("%1 failed").arg(QDir::toNativeSeparators(program)) : output;
    };
#endif
}

QUrl questionSetsPage(const UserFolders& folders)
{
#ifdef MONTERA_QUESTION_SETS_URL
    const QUrl configured(QStringLiteral(MONTERA_QUESTION_SETS_URL));
    if (!configured.isEmpty())
        return configured;
#endif
    return QUrl::fromLocalFile(folders.questionSetsPage());
}

} // namespace montera
