#pragma once

namespace montera {

// The size the show draws its panel at. The numbers are those the settings
// file stores.
enum class DisplaySize {
    Standard = 0,  // the designed size
    Large = 1,     // twice the designed size
    FitScreen = 2, // as large as fits the screen (displayFactor)
};

// The panel's designed height in pixels: 7335 twips.
inline constexpr int kPanelHeightPixels = 489;

// The whole factor the panel's design is drawn at on a screen of this height
// in device-independent pixels. To fit the screen is the largest factor, at
// least 1, that keeps the panel within 60 % of the screen's height.
int displayFactor(DisplaySize size, int screenHeight);

} // namespace montera
