#pragma once

#include "platform.h"

#include <memory>

namespace montera {

// USER32's FindWindowW, SetWindowPos, ShowCursor, EnableWindow and IsWindow.
std::unique_ptr<Platform> createWindowsPlatform();

} // namespace montera
