#include "userfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace montera {

InstalledFolders UserFolders::standardInstalledFolders()
{
    // The roaming application data, %APPDATA%: Qt gives it only with the
    // organisation's and the application's folders below it, and the program
    // is named in Japanese there.
    QString roaming = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const int below = int(!QCoreApplication::organizationName().isEmpty()) +
                      int(!QCoreApplication::applicationName().isEmpty());
    for (int i = 0; i < below; ++i)
        roaming = QFileInfo(roaming).path();
    const QString folder = QDir(roaming).filePath(QStringLiteral("Montera"));
    return {.config = folder, .data = folder, .bundledSets = QStringLiteral(MONTERA_BUNDLED_SETS_DIR)};
}

} // namespace montera
