#pragma once
// Mouse readings built from mouse events: the motion accumulated since the
// previous reading, and buttons latched so that a click that starts and ends
// between two readings still reads as down once.
//
// One thread at a time (the thread that pumps the events and polls).

#include <cstdint>

#include "input/DInput.h"

class CMouseLatch {
public:
    CMouseLatch();

    void Motion(int32_t dx, int32_t dy);
    void Wheel(int32_t dz);
    // button 0 left, 1 right, 2 middle, 3 the fourth; others are ignored.
    void ButtonDown(int button);
    void ButtonUp(int button);
    // Every button up and the pending motion dropped (the window lost the
    // mouse); a press not yet read is dropped too.
    void Reset();

    // The reading since the previous one: motion summed (saturated to the
    // 32-bit range), a button down when it is down now or was pressed since
    // the previous reading. Starts the next reading.
    DIMOUSESTATE TakeReading();

private:
    int64_t mDx, mDy, mDz;
    bool mDown[4];
    bool mPressed[4];
};
