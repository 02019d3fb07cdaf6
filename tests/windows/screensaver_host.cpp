// Plays the Windows screensaver host against montera.scr, whose path is the
// only argument: the settings window locks the host's dialog named by /c:HWND
// (or found by its title for a bare /c) until it closes; /p HWND puts the
// preview into the host's preview window and ends soon after that window is
// destroyed; /p without a window and /a end at once. scripts/windows-test
// builds this with mingw-w64 and runs it under Wine. It prints one line per
// check and ends with status 1 when any check failed.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr const wchar_t* kSettingsTitle = L"モンテラ v2.2 - 設定";
constexpr const wchar_t* kShowTitle = L"ScreenSaver_MainForm_20020313";
// The program's first window can take a while under Wine: fonts are read.
constexpr DWORD kStartTimeoutMs = 60000;

int failures = 0;
std::wstring program;
// The host's window whose end is timed, and when it was destroyed.
HWND timedWindow = nullptr;
FILETIME timedWindowDestroyed{};

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && window == timedWindow)
        GetSystemTimeAsFileTime(&timedWindowDestroyed);
    return DefWindowProcW(window, message, wParam, lParam);
}

void check(bool passed, const std::string& what)
{
    std::printf("%s  %s\n", passed ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!passed)
        ++failures;
}

// Handles the messages of this thread for the given time: the program's
// calls on our windows (EnableWindow, SetParent) wait for them.
void pump(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Pumps until the condition holds; the milliseconds it took, or -1.
long long waitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG start = GetTickCount64();
    while (!condition()) {
        if (GetTickCount64() - start >= timeoutMs)
            return -1;
        pump(20);
    }
    return static_cast<long long>(GetTickCount64() - start);
}

std::wstring handleText(HWND window)
{
    return std::to_wstring(reinterpret_cast<std::uintptr_t>(window));
}

HWND makeWindow(const wchar_t* title, HWND parent, int x, int y, int width, int height)
{
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    HWND window = CreateWindowExW(0, L"MonteraTestHost", title, style, x, y, width, height, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(window);
    return window;
}

// One start of the program, in its folder; ended by force if still running
// when it goes out of scope.
struct Run {
    PROCESS_INFORMATION process{};
    bool started = false;

    explicit Run(const std::wstring& arguments)
    {
        std::wstring line = L"\"" + program + L"\" " + arguments;
        const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                 &startup, &process) != FALSE;
    }
    ~Run()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
    std::string status() const
    {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return std::to_string(code);
    }
    // The milliseconds from `since` to the process's end, as the system
    // timed it: the host's call that ends it may return later.
    long long endedAfter(const FILETIME& since) const
    {
        FILETIME created;
        FILETIME exited;
        FILETIME kernel;
        FILETIME user;
        GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
        const auto ticks = [](const FILETIME& time) {
            return static_cast<long long>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                          time.dwLowDateTime);
        };
        return (ticks(exited) - ticks(since)) / 10000;
    }
};

// Opens the settings with the arguments while `host` is the host's dialog,
// and closes the settings window as its close box does.
void settingsRound(const std::string& what, HWND host, const std::wstring& arguments)
{
    Run run(arguments);
    HWND settings = nullptr;
    const long long opened = waitFor(
        [&] {
            settings = FindWindowW(nullptr, kSettingsTitle);
            return settings != nullptr || run.ended();
        },
        kStartTimeoutMs);
    check(settings != nullptr, what + ": the settings window opens (" + std::to_string(opened) + " ms)");
    if (!settings)
        return;
    if (IsWindow(host)) {
        const long long disabled = waitFor([&] { return !IsWindowEnabled(host); }, 5000);
        check(disabled >= 0, what + ": the host's window is disabled while the settings window is open (" +
                                 std::to_string(disabled) + " ms after it appeared)");
    }
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    PostMessageW(settings, WM_CLOSE, 0, 0);
    const bool ended = waitFor([&] { return run.ended(); }, 10000) >= 0;
    check(ended && run.status() == "0", what + ": closing the settings window ends the program (" +
                                            std::to_string(ended ? run.endedAfter(start) : -1) +
                                            " ms, status " + run.status() + ")");
    if (IsWindow(host))
        check(IsWindowEnabled(host) != FALSE, what + ": the host's window is enabled again");
}

// The pixels of a window as they are on the screen, 0x00RRGGBB, row by row.
std::basic_string<std::uint32_t> screenPixels(HWND window, int& width, int& height)
{
    RECT place;
    GetWindowRect(window, &place);
    width = place.right - place.left;
    height = place.bottom - place.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    std::basic_string<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                            static_cast<std::size_t>(width * height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

// The pixels that are not black in the columns [from, to).
int nonBlack(const std::basic_string<std::uint32_t>& pixels, int width, int from, int to)
{
    int count = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int column = static_cast<int>(i % static_cast<std::size_t>(width));
        if (column >= from && column < to && pixels[i] != 0)
            ++count;
    }
    return count;
}

// Wine leaves a child window of another process off the screen, whatever it
// draws (a plain Win32 one filled red shows black too), so the preview's
// pixels cannot be read back there.
bool showsOtherProcessesChildren()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

enum class HostGoes { PreviewWindowDestroyed, DialogClosed };

void previewRound(HostGoes goes)
{
    const std::string what = goes == HostGoes::PreviewWindowDestroyed ? "preview, its window destroyed"
                                                                      : "preview, the dialog closed";
    HWND dialog = makeWindow(L"montera test dialog", nullptr, 0, 0, 320, 240);
    // Wider than the panel, so that it is centred between black margins.
    HWND monitor = makeWindow(nullptr, dialog, 40, 40, 200, 100);
    Run run(L"/p " + handleText(monitor));
    // Qt makes its window, then puts it into ours, sizes it and shows it.
    HWND preview = nullptr;
    const auto covers = [&] {
        preview = GetWindow(monitor, GW_CHILD);
        RECT inner{};
        RECT outer{};
        GetClientRect(preview, &inner);
        GetClientRect(monitor, &outer);
        return preview != nullptr && IsWindowVisible(preview) &&
               (GetWindowLongPtrW(preview, GWL_STYLE) & WS_CHILD) != 0 && inner.right == outer.right &&
               inner.bottom == outer.bottom;
    };
    const long long made = waitFor([&] { return covers() || run.ended(); }, kStartTimeoutMs);
    check(covers(), what + ": a child window of the program's covers the preview window (after " +
                        std::to_string(made) + " ms)");
    // Its paint was handled: no update region is left, which stays while a
    // window of another process paints nothing.
    const long long painted = waitFor([&] { return !GetUpdateRect(preview, nullptr, FALSE); }, 10000);
    check(painted >= 0, what + ": it has painted (" + std::to_string(painted) + " ms later)");
    if (showsOtherProcessesChildren()) {
        // The panel, 641 by 489, fits 131 by 100 pixels from the column 34.
        int width = 0;
        int height = 0;
        std::basic_string<std::uint32_t> pixels;
        const long long drawn = waitFor(
            [&] {
                pixels = screenPixels(monitor, width, height);
                return nonBlack(pixels, width, 40, 160) > 40 * 100;
            },
            10000);
        const int margins = nonBlack(pixels, width, 0, 30) + nonBlack(pixels, width, 170, width);
        check(drawn >= 0, what + ": the panel is drawn (" + std::to_string(nonBlack(pixels, width, 40, 160)) +
                              " of " + std::to_string(120 * height) + " pixels in its middle not black)");
        check(margins == 0,
              what + ": black to its left and right (" + std::to_string(margins) + " pixels not black)");
    } else {
        std::printf("skip  %s: its pixels, which Wine does not put on the screen\n", what.c_str());
    }
    check(FindWindowW(nullptr, kShowTitle) == nullptr, what + ": no window has the show's title");
    if (goes == HostGoes::PreviewWindowDestroyed) {
        // The settings dialog's Preview button starts the show while the
        // preview runs.
        Run show(L"/s");
        const long long shown =
            waitFor([&] { return FindWindowW(nullptr, kShowTitle) != nullptr; }, kStartTimeoutMs);
        check(shown >= 0, what + ": /s starts the show meanwhile (" + std::to_string(shown) + " ms)");
    }
    // Timed from the preview window's end: under Wine without a window
    // manager, closing the dialog first waits 2 s for it to be unmapped.
    timedWindow = monitor;
    if (goes == HostGoes::PreviewWindowDestroyed)
        DestroyWindow(monitor);
    else
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    const bool ended = waitFor([&] { return run.ended(); }, 5000) >= 0;
    const long long after = ended && !IsWindow(monitor) ? run.endedAfter(timedWindowDestroyed) : -1;
    check(ended && after < 1000 && run.status() == "0",
          what + ": the program ends " + std::to_string(after) + " ms later, status " + run.status());
    if (IsWindow(dialog))
        DestroyWindow(dialog);
}

// A start that must end without opening a window.
void endsAtOnce(const std::string& what, const std::wstring& arguments)
{
    Run run(arguments);
    const long long ended = waitFor([&] { return run.ended(); }, 20000);
    check(ended >= 0 && run.status() == "0" && FindWindowW(nullptr, kSettingsTitle) == nullptr,
          what + " ends at once (" + std::to_string(ended) + " ms, status " + run.status() + ")");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: screensaver_host PATH-OF-montera.scr\n");
        return 2;
    }
    const std::string path = argv[1];
    program.assign(path.begin(), path.end());
    WNDCLASSW host{};
    host.lpfnWndProc = hostWindowProcedure;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    host.lpszClassName = L"MonteraTestHost";
    RegisterClassW(&host);

    HWND dialog = makeWindow(L"montera test dialog", nullptr, 0, 0, 320, 240);
    settingsRound("/c:HWND", dialog, L"/c:" + handleText(dialog));
    DestroyWindow(dialog);
    HWND properties = makeWindow(L"画面のプロパティ", nullptr, 0, 0, 320, 240);
    settingsRound("/c", properties, L"/c");
    DestroyWindow(properties);
    // A handle whose window has closed, as when the dialog went first.
    settingsRound("/c:HWND of a closed window", dialog, L"/c:" + handleText(dialog));

    previewRound(HostGoes::PreviewWindowDestroyed);
    previewRound(HostGoes::DialogClosed);
    endsAtOnce("/p without a window", L"/p");
    endsAtOnce("/p with a closed window", L"/p " + handleText(dialog));
    endsAtOnce("/a", L"/a");
    return failures == 0 ? 0 : 1;
}
