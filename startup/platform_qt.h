#pragma once

#include "platform.h"

#include <QLockFile>
#include <QString>

#include <map>
#include <memory>

namespace montera {

// The platform wherever Qt runs the windows: the cursor is blanked over our
// windows, a topmost window is asked for through Qt, and since other
// programs' windows cannot be listed (as under Wayland), a shown window is
// marked by a per-user lock file named after its title, which dies with the
// process.
class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    WindowHandle findWindow(std::u16string_view title) override;
    void setWindowTopmost(WindowHandle window, int x, int y, int width, int height) override;
    void showCursor(bool show) override;
    void enableWindow(WindowHandle window, bool enable) override;
    void windowShown(WindowHandle window, std::u16string_view title) override;
    void windowUnloaded(WindowHandle window, std::u16string_view title) override;
    void exitProcess(int code) override;

    // The folder of the lock files; tests point it at a folder of their own.
    void setLockFolder(const QString& folder) { m_lockFolder = folder; }
    QString lockFilePath(std::u16string_view title) const;

private:
    QString m_lockFolder;
    std::map<std::u16string, std::unique_ptr<QLockFile>> m_locks;
    int m_cursorCount = 0;
    bool m_cursorBlanked = false;
};

// The X11 platform: windows of every program are found by their exact title,
// and a topmost window is placed and raised by the X server itself.
class X11Platform final : public QtPlatform {
public:
    WindowHandle findWindow(std::u16string_view title) override;
    void setWindowTopmost(WindowHandle window, int x, int y, int width, int height) override;
    void windowShown(WindowHandle, std::u16string_view) override {}
    void windowUnloaded(WindowHandle, std::u16string_view) override {}
    bool fillWithBlack(WindowHandle window) override;
    bool fillsWithBlack() const override;
    void paintBlack(WindowHandle window) override;
};

// The platform of the running system: Windows, X11, or Qt alone elsewhere.
std::unique_ptr<Platform> createPlatform();

} // namespace montera
