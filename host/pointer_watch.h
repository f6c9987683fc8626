// A full-screen saver ends when the user moves the pointer, not when it
// twitches or is first found: distances count from where it was first seen.
#pragma once

class PointerWatch {
public:
    static constexpr int kThresholdPixels = 8;
    // True when the pointer, now at (x, y) in screen pixels, has really moved.
    bool Moved(int x, int y) {
        if (!seen_) {
            seen_ = true;
            x0_ = x;
            y0_ = y;
            return false;
        }
        const long dx = x - x0_, dy = y - y0_;
        return dx * dx + dy * dy > static_cast<long>(kThresholdPixels) * kThresholdPixels;
    }

private:
    bool seen_ = false;
    int x0_ = 0, y0_ = 0;
};
