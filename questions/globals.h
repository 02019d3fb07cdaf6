#pragma once

#include <QString>

#include <cstdint>

namespace montera {

// How large the show draws its window: the designed size, a larger one, or
// the size of the screen. The settings file stores the number.
enum class DisplaySize : std::int8_t { Standard = 0, Large = 1, FitScreen = 2 };

// The settings the program runs with, shared by the show and the settings
// window. The question bank beside them is globalBank().
struct Settings {
    // The question-set file named in the settings file, a bare name.
    QString SetFileName;
    // The file that the show loads for it: the user's set of that name, or
    // else the bundled one (UserFolders::setPath).
    QString SetPath;
    // The play mode 0 to 3 the show runs in; a failed load resets it to 0.
    std::int16_t Mode = 0;
    // The mode picked in the settings window, which OK writes to the file.
    std::int16_t SelectedMode = 0;
    // The display size of the SIZE key.
    DisplaySize Size = DisplaySize::Standard;
    // Whether a miss marks the right choice (the SHOWANSWER key).
    bool ShowAnswer = false;
    // Whether the show asks first what the viewer is about to forget, and
    // always marks the right choice after a miss (the LEARN key).
    bool Learn = false;
};

Settings& globalSettings();

} // namespace montera
