#include "userfolders.h"

#include <QDir>
#include <QStandardPaths>

namespace montera {

InstalledFolders UserFolders::standardInstalledFolders()
{
    // The generic locations, $XDG_CONFIG_HOME and $XDG_DATA_HOME, with a
    // folder of the program's own: the application's locations would be
    // named after the program's Japanese name.
    const QString name = QStringLiteral("montera");
    return {
        .config =
            QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(name),
        .data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(name),
        .bundledSets = QStringLiteral(MONTERA_BUNDLED_SETS_DIR),
    };
}

} // namespace montera
