#include "fileutil.h"
#include "platform_qt.h"
#include "startup.h"
#include "twips.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("モンテラ"));

    // The standard dialogs' buttons speak the program's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }
    montera::installFontSubstitutions();

    montera::setOversizeWarning([] {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("モンテラ"),
                        QStringLiteral("ファイルサイズが大きすぎます"), QMessageBox::Ok);
        box.exec();
    });

    const std::unique_ptr<montera::Platform> platform = montera::createPlatform();
    montera::setPlatform(platform.get());

    const QStringList arguments = QApplication::arguments().mid(1);
    if (montera::Main(montera::argumentString(arguments)) == montera::StartOutcome::Ended) {
        return 0;
    }
    return QApplication::exec();
}
