#pragma once

#include <thread>

namespace montera {

// Reads fontconfig's configuration and font caches on a thread of its own
// while the application connects to the display. That reading is the largest
// single cost of a start (every configuration file is parsed), and the show
// needs its result only once its window is built; done here, it overlaps the
// rest of the start on a second core. Without fontconfig it does nothing.
class FontPreload {
public:
    FontPreload();
    ~FontPreload();
    FontPreload(const FontPreload&) = delete;
    FontPreload& operator=(const FontPreload&) = delete;

    // Returns once the reading is done; the first font must not be asked for
    // before, or fontconfig would read everything a second time.
    void wait();

private:
    std::thread m_thread;
};

} // namespace montera
