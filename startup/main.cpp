#include "bank.h"
#include "fileutil.h"
#include "fontpreload.h"
#include "frmmain.h"
#include "frmset.h"
#include "globals.h"
#include "hiddensettings.h"
#include "historymodule.h"
#include "platform_qt.h"
#include "random.h"
#include "settingswindow.h"
#include "showhistory.h"
#include "showwindow.h"
#include "startup.h"
#include "twips.h"
#include "userfolders.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#ifdef MONTERA_FIRST_PAINT_REPORT
#include "firstpaint.h"
#endif

int main(int argc, char* argv[])
{
    montera::FontPreload fontPreload;
    // The show repaints a strip of a few pixels ten times a second. Through X
    // shared memory each of these small flushes costs a round trip with the
    // server; sent in the X stream they cost far less kernel time (measured
    // under Xvfb: 0.78 % of a core with shared memory, 0.48 % without).
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("モンテラ"));

    // The standard dialogs' buttons speak the program's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtTranslator.load(QStringLiteral("qtbase_ja"), QStringLiteral(":/translations"))) {
        QApplication::installTranslator(&qtTranslator);
    }
    montera::installFontSubstitutions();

    montera::setOversizeWarning([] {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("モンテラ"),
                        QStringLiteral("ファイルサイズが大きすぎます"), QMessageBox::Ok);
        box.exec();
    });

    const std::unique_ptr<montera::Platform> platform = montera::createPlatform();
    // Where the settings, the history and the sets lie, decided once for
    // every window.
    const montera::UserFolders folders = montera::UserFolders::forProgram(QApplication::applicationDirPath());
    montera::ClockSeededRandom random;
    // The settings window's behaviour for the show, which loads the window
    // hidden and reads the settings through it but never shows it: the
    // behaviour runs without building the window's widgets, which would cost
    // the show's start memory and time for nothing.
    std::unique_ptr<montera::HiddenSettings> hiddenSettings;
    // The show's answers go to the history; never deleted, since the show
    // ends the process at once.
    montera::ShowHistory* history = nullptr;
    // The show's reading of the settings, for the show and the preview.
    const auto readSettings = [&hiddenSettings, &folders] {
        if (!hiddenSettings)
            hiddenSettings = std::make_unique<montera::HiddenSettings>(folders);
        hiddenSettings->readSettings();
    };
    // The behaviour of the windows, run by their load handlers.
    montera::Startup startup(
        *platform, QApplication::applicationDirPath(),
        {
            .mainFormLoad =
                [&random, &history, &readSettings, &folders](montera::Startup& owner,
                                                             montera::frmMain& form) {
                    montera::ShowWindow& show =
                        montera::ShowWindow::attach(form, random, readSettings, [&owner, &history] {
                            if (history)
                                history->finish();
                            owner.EndShow();
                        });
                    history = new montera::ShowHistory(folders);
                    history->attach(show.show(), form, montera::globalBank(), montera::globalSettings());
#ifdef MONTERA_FIRST_PAINT_REPORT
                    montera::bench::reportFirstPaint(form.fraDocFrame);
#endif
                },
            .setFormLoad =
                [&folders](montera::Startup&, montera::frmSet& form) {
                    montera::SettingsWindow::attach(
                        form, folders, montera::questionSetsPage(folders),
                        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
                        montera::newProgressWindow, montera::idleProgramSwitch());
                },
            // The preview draws the show's first question and records nothing:
            // no history, and the show never runs. A set too large is drawn
            // from what fits, as the show draws it, but without the message
            // box that would cover the host's dialog.
            .previewLoad =
                [&random, &readSettings](montera::Startup&, montera::frmMain& form) {
                    montera::setOversizeWarning({});
                    montera::ShowWindow::attach(form, random, readSettings, {});
                },
        });

    // Every window below asks for fonts.
    fontPreload.wait();
    const QStringList arguments = QApplication::arguments().mid(1);
    if (startup.Main(montera::argumentString(arguments)) == montera::StartOutcome::Ended) {
        return 0;
    }
    return QApplication::exec();
}
