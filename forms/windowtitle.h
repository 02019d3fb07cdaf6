#pragma once

#include <string_view>

namespace montera {

// The main window's title. A later start recognises a running show by it, on
// every platform, so it is kept free of Qt for the Windows layer's tests too.
inline constexpr std::u16string_view kMainWindowTitle = u"ScreenSaver_MainForm_20020313";

} // namespace montera
