// The Windows platform: the USER32 calls as the screensaver host expects them.
// Builds from the Windows headers alone, without Qt.
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

// FindWindowA compares titles in the system's ANSI code page.
std::string toAnsi(std::u16string_view text)
{
    const std::wstring wide(text.begin(), text.end());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(size - 1));
    return ansi;
}

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

class WindowsPlatform final : public Platform {
public:
    WindowHandle findWindow(std::u16string_view title) override
    {
        const std::string ansi = toAnsi(title);
        return reinterpret_cast<WindowHandle>(FindWindowA(nullptr, ansi.c_str()));
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

    void exitProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }
};

static_assert((SWP_SHOWWINDOW | SWP_NOACTIVATE) == 0x50);

} // namespace

std::unique_ptr<Platform> createWindowsPlatform()
{
    return std::make_unique<WindowsPlatform>();
}

} // namespace montera
