#pragma once

#include "globals.h"

namespace montera {

// The panel's designed height in pixels: 7335 twips.
inline constexpr int kPanelHeightPixels = 489;

// The whole factor the panel's design is drawn at on a screen of this height
// in device-independent pixels: 1 for the standard size, 2 for the large one.
// To fit the screen is the largest factor, at least 1, that keeps the panel
// within 60 % of the screen's height.
int displayFactor(DisplaySize size, int screenHeight);

} // namespace montera
