#pragma once

#include <QString>
#include <QStringList>

namespace montera {

// Where the user's files lie.
enum class FolderLayout {
    // The program's folder is writable (build/app, a per-user install):
    // everything lies beside the program.
    Portable,
    // It is not (a system-wide install): the user's files lie in the user's
    // own folders.
    Installed,
};

// The folders of the installed layout, and where the build put the bundled
// sets.
struct InstalledFolders {
    // The settings file's folder.
    QString config;
    // The answer history's folder, which also takes the user's own sets.
    QString data;
    // The bundled sets' folder; empty when they lie beside the program. The
    // download button's page lies in its parent folder.
    QString bundledSets;
};

// Decides where the settings file, the answer history, the user's own sets,
// the bundled sets and the download button's page lie. The show, the
// settings window, the progress window and montera-sets ask it, so that they
// all agree; copies are cheap.
class UserFolders {
public:
    // The layout that the program's folder calls for: portable when a file can
    // be created and removed in it, installed otherwise. A build that names
    // the bundled sets' folder (a package's) always has the installed layout.
    static UserFolders forProgram(const QString& programFolder,
                                  const InstalledFolders& installed = standardInstalledFolders());

    UserFolders(QString programFolder, FolderLayout layout, InstalledFolders installed);

    FolderLayout layout() const { return m_layout; }
    QString settingsFile() const;
    QString historyFile() const;
    QString userSetsFolder() const;
    QString bundledSetsFolder() const;
    // The folders whose sets the settings window lists, the user's first;
    // one folder when both are the same.
    QStringList setFolders() const;
    // The file that a set's bare name (the settings file's FILE) stands for:
    // the user's set of that name, else the bundled one. When neither
    // exists, the name in the user's folder, which fails to load as any
    // missing set does. A name with a folder is taken as it is, an empty one
    // stays empty.
    QString setPath(const QString& fileName) const;
    // The file of the page that the download button opens when the build
    // names no address.
    QString questionSetsPage() const;

    // Create the settings file's folder, or the folder of the history and the
    // user's sets, when it is missing. False, with the system's reason, when
    // it cannot be created.
    bool createSettingsFolder(QString& error) const;
    bool createDataFolder(QString& error) const;

    // The installed layout's folders on this system: the user's folders from
    // QStandardPaths (userfolders_posix.cpp, userfolders_windows.cpp) and the
    // bundled sets' folder that the build names.
    static InstalledFolders standardInstalledFolders();

private:
    QString m_programFolder;
    FolderLayout m_layout = FolderLayout::Portable;
    InstalledFolders m_installed;
};

// Whether a file can be created and removed in the folder. Tried rather than
// read from the permissions, which on Windows leave out the access lists.
bool isWritableFolder(const QString& folder);

} // namespace montera
