#include "displaysize.h"

#include <algorithm>

namespace montera {

int displayFactor(DisplaySize size, int screenHeight)
{
    switch (size) {
    case DisplaySize::Large:
        return 2;
    case DisplaySize::FitScreen:
        // 489 * factor <= 0.6 * height, in whole numbers: 5 * 489 * factor <= 3 * height.
        return std::max(1, 3 * screenHeight / (5 * kPanelHeightPixels));
    case DisplaySize::Standard:
        break;
    }
    return 1;
}

} // namespace montera
