#pragma once

#include "platform.h"

#include <memory>

namespace montera {

// USER32's FindWindowA, SetWindowPos, ShowCursor and EnableWindow.
std::unique_ptr<Platform> createWindowsPlatform();

} // namespace montera
