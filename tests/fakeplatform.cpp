#include "fakeplatform.h"

#include <QString>

namespace montera {

namespace {

std::string utf8(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size())).toStdString();
}

} // namespace

WindowHandle FakePlatform::findWindow(std::u16string_view title)
{
    calls.push_back("FindWindow(" + utf8(title) + ")");
    const auto it = windows.find(std::u16string(title));
    return it == windows.end() ? 0 : it->second;
}

void FakePlatform::setWindowTopmost(WindowHandle window, int x, int y, int width, int height)
{
    calls.push_back("SetWindowPos(" + std::to_string(window) + ",-1," + std::to_string(x) + "," +
                    std::to_string(y) + "," + std::to_string(width) + "," + std::to_string(height) +
                    ",0x50)");
}

void FakePlatform::showCursor(bool show)
{
    cursorCount += show ? 1 : -1;
    calls.push_back(show ? "ShowCursor(1)" : "ShowCursor(0)");
}

void FakePlatform::enableWindow(WindowHandle window, bool enable)
{
    calls.push_back("EnableWindow(" + std::to_string(window) + "," + (enable ? "1" : "0") + ")");
}

bool FakePlatform::previewParentExists(WindowHandle window)
{
    calls.push_back("IsWindow(" + std::to_string(window) + ")");
    if (untitledWindows.count(window))
        return true;
    for (const auto& [title, handle] : windows) {
        if (handle == window)
            return true;
    }
    return false;
}

void FakePlatform::windowShown(WindowHandle, std::u16string_view title)
{
    calls.push_back("Shown(" + utf8(title) + ")");
}

void FakePlatform::windowUnloaded(WindowHandle, std::u16string_view title)
{
    calls.push_back("Unloaded(" + utf8(title) + ")");
}

void FakePlatform::paintBlack(WindowHandle)
{
    calls.push_back("PaintBlack");
}

void FakePlatform::exitProcess(int code)
{
    calls.push_back("ExitProcess(" + std::to_string(code) + ")");
    exited = true;
    exitCode = code;
}

} // namespace montera
