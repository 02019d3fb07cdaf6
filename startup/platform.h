#pragma once

#include <cstdint>
#include <string_view>

// The few window-system services that start-up needs. Kept free of Qt so that
// the Windows implementation builds from the system headers alone.
namespace montera {

// A top-level window of any program: an HWND on Windows, an X window id on X11.
// Zero means none.
using WindowHandle = std::uintptr_t;

class Platform {
public:
    virtual ~Platform() = default;

    // The top-level window whose title is exactly this text, or 0.
    virtual WindowHandle findWindow(std::u16string_view title) = 0;

    // Puts the window above all others at the given place and size in device
    // pixels and shows it without activating it.
    virtual void setWindowTopmost(WindowHandle window, int x, int y, int width, int height) = 0;

    // Raises (true) or lowers (false) the cursor display count by one; the
    // cursor is hidden over our windows while the count is negative.
    virtual void showCursor(bool show) = 0;

    // Lets a window take input again, or stops it from taking any.
    virtual void enableWindow(WindowHandle window, bool enable) = 0;

    // Whether this window of another program is there to draw a preview
    // into. The Windows screensaver host passes one with /p; elsewhere no
    // program does, and there is none.
    virtual bool previewParentExists(WindowHandle window)
    {
        static_cast<void>(window);
        return false;
    }

    // Our window with this title was shown, or is going away. Where windows of
    // other programs cannot be listed, the platform keeps a marker so that
    // findWindow in a later process still finds it.
    virtual void windowShown(WindowHandle window, std::u16string_view title)
    {
        static_cast<void>(window);
        static_cast<void>(title);
    }
    virtual void windowUnloaded(WindowHandle window, std::u16string_view title)
    {
        static_cast<void>(window);
        static_cast<void>(title);
    }

    // Has the window system fill the window, created but not yet shown, with
    // black wherever the program draws nothing. Returns false where it cannot;
    // the program then paints the black itself.
    virtual bool fillWithBlack(WindowHandle window)
    {
        static_cast<void>(window);
        return false;
    }
    // Whether fillWithBlack succeeds here: a black window then costs the
    // program nothing to show.
    virtual bool fillsWithBlack() const { return false; }
    // Has the window system fill the shown window with black now, as
    // fillWithBlack does, without waiting for it to be done.
    virtual void paintBlack(WindowHandle window) { static_cast<void>(window); }

    // Ends the process at once: no further event of any window runs.
    virtual void exitProcess(int code) = 0;
};

} // namespace montera
