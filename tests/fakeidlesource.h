#pragma once

#include "idlesource.h"

// An idle source the test drives: it records the waits asked of it, and the
// test emits idle() and ended() itself.
class FakeIdleSource : public montera::IdleSource {
public:
    void startWaiting(std::chrono::milliseconds after) override
    {
        ++waitsStarted;
        waiting = true;
        lastWait = after;
    }
    void stopWaiting() override { waiting = false; }

    int waitsStarted = 0;
    bool waiting = false;
    std::chrono::milliseconds lastWait{};
};
