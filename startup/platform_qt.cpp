#include "platform_qt.h"

#ifdef Q_OS_WIN
#include "platform_windows.h"
#endif

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace montera {

namespace {

QString fromU16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QWindow* ourWindow(WindowHandle handle)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* window : windows) {
        if (window->handle() && WindowHandle(window->winId()) == handle) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() = default;

QString QtPlatform::lockFilePath(std::u16string_view title) const
{
    // Titles may hold characters that a file name cannot, so keep the safe ones.
    QString name;
    for (const QChar c : fromU16(title)) {
        name += (c.isLetterOrNumber() || c == u'_' || c == u'-') ? c : QChar(u'_');
    }
    QString folder = m_lockFolder;
    if (folder.isEmpty()) {
        // The user's runtime folder, so that the marker is per user.
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(name + QStringLiteral(".lock"));
}

WindowHandle QtPlatform::findWindow(std::u16string_view title)
{
    if (m_locks.count(std::u16string(title))) {
        return 1;
    }
    QLockFile probe(lockFilePath(title));
    // A lock left by a process that has died counts as free.
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return 0;
    }
    return probe.error() == QLockFile::LockFailedError ? 1 : 0;
}

void QtPlatform::setWindowTopmost(WindowHandle window, int x, int y, int width, int height)
{
    QWindow* ours = ourWindow(window);
    if (!ours) {
        return;
    }
    const qreal ratio = ours->devicePixelRatio();
    // Qt scales positions within a screen from the screen's corner, which it
    // keeps in device pixels.
    const QPoint corner = ours->screen() ? ours->screen()->geometry().topLeft() : QPoint();
    const QPoint position =
        corner + QPoint(qRound((x - corner.x()) / ratio), qRound((y - corner.y()) / ratio));
    ours->setFlag(Qt::WindowStaysOnTopHint, true);
    ours->setGeometry(QRect(position, QSize(qRound(width / ratio), qRound(height / ratio))));
    ours->setVisible(true);
    ours->raise();
}

void QtPlatform::showCursor(bool show)
{
    m_cursorCount += show ? 1 : -1;
    const bool blank = m_cursorCount < 0;
    if (blank == m_cursorBlanked) {
        return;
    }
    m_cursorBlanked = blank;
    if (blank) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtPlatform::enableWindow(WindowHandle, bool)
{
    // Other programs' windows cannot be reached from here, and the dialog that
    // the Windows host locks does not exist elsewhere.
}

void QtPlatform::windowShown(WindowHandle, std::u16string_view title)
{
    auto lock = std::make_unique<QLockFile>(lockFilePath(title));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_locks[std::u16string(title)] = std::move(lock);
    }
}

void QtPlatform::windowUnloaded(WindowHandle, std::u16string_view title)
{
    m_locks.erase(std::u16string(title));
}

void QtPlatform::exitProcess(int code)
{
    m_locks.clear();
    std::fflush(nullptr);
    std::_Exit(code);
}

std::unique_ptr<Platform> createPlatform()
{
#ifdef Q_OS_WIN
    return createWindowsPlatform();
#else
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        return std::make_unique<X11Platform>();
    }
    return std::make_unique<QtPlatform>();
#endif
}

} // namespace montera
