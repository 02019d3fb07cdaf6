#pragma once

#include "platform.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace montera {

// A platform for tests: windows of other programs are what the test puts in
// `windows`; every call is recorded in order, and exitProcess only records
// the exit, so that code after EndShow can be observed.
class FakePlatform final : public Platform {
public:
    WindowHandle findWindow(std::u16string_view title) override;
    void setWindowTopmost(WindowHandle window, int x, int y, int width, int height) override;
    void showCursor(bool show) override;
    void enableWindow(WindowHandle window, bool enable) override;
    bool previewParentExists(WindowHandle window) override;
    void windowShown(WindowHandle window, std::u16string_view title) override;
    void windowUnloaded(WindowHandle window, std::u16string_view title) override;
    void exitProcess(int code) override;
    bool fillsWithBlack() const override { return fillsBlack; }
    void paintBlack(WindowHandle window) override;

    // Titles of the windows that findWindow finds, with their handles.
    std::map<std::u16string, WindowHandle> windows;
    // Windows that exist without a title to find them by, such as the
    // host's preview window.
    std::set<WindowHandle> untitledWindows;
    // The calls as text, e.g. "ShowCursor(0)", "SetWindowPos(7,-1,0,0,800,600,0x50)",
    // "IsWindow(7)".
    std::vector<std::string> calls;
    // The cursor display count; 0 at first, as the system's.
    int cursorCount = 0;
    bool exited = false;
    // Whether the window system is said to fill black windows itself.
    bool fillsBlack = false;
    int exitCode = -1;
};

} // namespace montera
