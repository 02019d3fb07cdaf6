// The Windows platform: the USER32 calls as the screensaver host expects them.
// Builds from the Windows headers alone, without Qt. Every call that takes
// text is the wide one: the ANSI calls convert through the system's code
// page, which cannot hold a Japanese title unless it is code page 932.
#include "platform_windows.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace montera {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

class WindowsPlatform final : public Platform {
public:
    WindowHandle findWindow(std::u16string_view title) override
    {
        const std::wstring wide(title.begin(), title.end());
        return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, wide.c_str()));
    }

    void setWindowTopmost(WindowHandle window, int x, int y, int width, int height) override
    {
        // SWP_SHOWWINDOW | SWP_NOACTIVATE, the value 0x50.
        SetWindowPos(toHwnd(window), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }

    void showCursor(bool show) override { ShowCursor(show ? TRUE : FALSE); }

    void enableWindow(WindowHandle window, bool enable) override
    {
        // A handle that is no longer valid makes the call fail, which is fine.
        EnableWindow(toHwnd(window), enable ? TRUE : FALSE);
    }

    bool previewParentExists(WindowHandle window) override
    {
        return window != 0 && IsWindow(toHwnd(window)) != FALSE;
    }

    void exitProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
};

static_assert((SWP_SHOWWINDOW | SWP_NOACTIVATE) == 0x50);

} // namespace

std::unique_ptr<Platform> createWindowsPlatform()
{
    return std::make_unique<WindowsPlatform>();
}

} // namespace montera
