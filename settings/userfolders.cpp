#include "userfolders.h"

#include "historystore.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace montera {

namespace {

const QString kPageFileName = QStringLiteral("question-sets.html");

// Creates the folder and the folders above it that are missing.
bool createFolder(const QString& folder, QString& error)
{
    // Qt's own mkpath gives no reason for a failure; the message box and the
    // line on standard error need one.
    std::error_code failure;
    const QByteArray utf8 = folder.toUtf8();
    const std::u8string name(reinterpret_cast<const char8_t*>(utf8.constData()), size_t(utf8.size()));
    std::filesystem::create_directories(std::filesystem::path(name), failure);
    if (!failure)
        return true;
    error = QString::fromLocal8Bit(failure.message().c_str());
    return false;
}

QString cleanAbsolute(const QString& folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

} // namespace

UserFolders UserFolders::forProgram(const QString& programFolder, const InstalledFolders& installed)
{
    // A build that names a folder for the bundled sets is a system-wide
    // one: its program's folder is writable for root, and settings written
    // there would be every user's. Such a build always keeps the user's files
    // in the user's own folders.
    const bool portable = installed.bundledSets.isEmpty() && isWritableFolder(programFolder);
    const FolderLayout layout = portable ? FolderLayout::Portable : FolderLayout::Installed;
    return UserFolders(programFolder, layout, installed);
}

UserFolders::UserFolders(QString programFolder, FolderLayout layout, InstalledFolders installed)
    : m_programFolder(std::move(programFolder))
    , m_layout(layout)
    , m_installed(std::move(installed))
{}

QString UserFolders::settingsFile() const
{
    const QString& folder = m_layout == FolderLayout::Portable ? m_programFolder : m_installed.config;
    return QDir(folder).filePath(kSettingsFileName);
}

QString UserFolders::historyFile() const
{
    return QDir(userSetsFolder()).filePath(kHistoryFileName);
}

QString UserFolders::userSetsFolder() const
{
    return m_layout == FolderLayout::Portable ? m_programFolder : m_installed.data;
}

QString UserFolders::bundledSetsFolder() const
{
    return m_installed.bundledSets.isEmpty() ? m_programFolder : m_installed.bundledSets;
}

QStringList UserFolders::setFolders() const
{
    const QString user = userSetsFolder();
    const QString bundled = bundledSetsFolder();
    if (cleanAbsolute(user) == cleanAbsolute(bundled))
        return {user};
    return {user, bundled};
}

QString UserFolders::setPath(const QString& fileName) const
{
    if (fileName.isEmpty())
        return fileName;
    const QString own = QDir(userSetsFolder()).filePath(fileName);
    if (QFileInfo::exists(own))
        return own;
    const QString bundled = QDir(bundledSetsFolder()).filePath(fileName);
    return QFileInfo::exists(bundled) ? bundled : own;
}

QString UserFolders::questionSetsPage() const
{
    if (m_installed.bundledSets.isEmpty())
        return QDir(m_programFolder).filePath(kPageFileName);
    return QDir::cleanPath(QDir(m_installed.bundledSets).filePath(QStringLiteral("../") + kPageFileName));
}

bool UserFolders::createSettingsFolder(QString& error) const
{
    return createFolder(QFileInfo(settingsFile()).path(), error);
}

bool UserFolders::createDataFolder(QString& error) const
{
    return createFolder(userSetsFolder(), error);
}

bool isWritableFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    // A named file of our own rather than a QTemporaryFile, which on Linux
    // may be created without a name and so never removed.
    const QString name =
        QStringLiteral(".montera-probe-%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
    QFile probe(QDir(folder).filePath(name));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    return probe.remove();
}

} // namespace montera
