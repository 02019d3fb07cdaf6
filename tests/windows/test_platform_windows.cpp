// The Windows platform layer against USER32 itself: scripts/windows-test
// builds this with mingw-w64 and runs it under Wine. It prints one line per
// check and ends with status 1 when any check failed.
#include "platform_windows.h"
#include "windowtitle.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void check(bool passed, const char* what)
{
    std::printf("%s  %s\n", passed ? "ok  " : "FAIL", what);
    if (!passed)
        ++failures;
}

// The cursor's display count: ShowCursor answers with the count it leaves.
int cursorCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

} // namespace

int main()
{
    const std::unique_ptr<montera::Platform> platform = montera::createWindowsPlatform();
    const std::wstring title(montera::kMainWindowTitle.begin(), montera::kMainWindowTitle.end());
    HWND window = CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    check(window != nullptr, "a window with the main window's title");
    if (!window)
        return 1;
    const auto handle = reinterpret_cast<montera::WindowHandle>(window);

    check(platform->findWindow(montera::kMainWindowTitle) == handle, "findWindow finds it by its title");
    check(platform->findWindow(u"ScreenSaver_MainForm_2002031") == 0, "findWindow misses a shorter title");

    // A Japanese title is found whatever the system's code page, which the
    // ANSI calls would convert it through.
    std::printf("      (the ANSI code page is %u)\n", GetACP());
    HWND properties = CreateWindowExW(0, L"STATIC", L"画面のプロパティ", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    check(platform->findWindow(u"画面のプロパティ") == reinterpret_cast<montera::WindowHandle>(properties),
          "findWindow finds a window titled 画面のプロパティ");
    DestroyWindow(properties);

    check(platform->previewParentExists(handle), "previewParentExists is true for a window");
    check(!platform->previewParentExists(0), "previewParentExists is false for 0");

    platform->enableWindow(handle, false);
    check(!IsWindowEnabled(window), "enableWindow(false) disables it");
    platform->enableWindow(handle, true);
    check(IsWindowEnabled(window), "enableWindow(true) enables it again");

    check((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0, "not topmost at first");
    platform->setWindowTopmost(handle, 0, 0, 320, 240);
    check((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "setWindowTopmost makes it topmost");

    const int count = cursorCount();
    platform->showCursor(false);
    check(cursorCount() == count - 1, "showCursor(false) lowers the display count by one");
    platform->showCursor(true);
    check(cursorCount() == count, "showCursor(true) raises it back");

    DestroyWindow(window);
    check(!platform->previewParentExists(handle),
          "previewParentExists is false once the window is destroyed");
    return failures == 0 ? 0 : 1;
}
