// The frame-rate and CPU-load readout (`-fps`), as screen-saver hacks show it:
// two small lines in the lower-left corner, in the overlay's font.
#pragma once

#include <GL/gl.h>

#include "text/text.h"

// Averages over windows of about a second. No GL.
struct FPSMETER {
    double windowSeconds = 0.0;  // frame time gathered in this window
    int windowFrames = 0;
    double windowCpuStart = -1.0;  // process CPU seconds when the window began
    float fps = 0.0f;    // frames per second of the last full window
    float load = 0.0f;   // CPU seconds per second of the last window, in percent
    bool measured = false;  // a window has completed

    // Counts one frame of `dt` seconds; `cpuSeconds` is the process's CPU time
    // now. Non-positive or non-finite dt is ignored.
    void AddFrame(double dt, double cpuSeconds);
    // "FPS: 60.0" and "Load: 12.5%" (or "FPS: --" before the first window).
    void Lines(char* fpsLine, char* loadLine, int capacity) const;
};

// Draws the readout in the lower-left corner of a width x height pixel view,
// with its own orthographic projection. Leaves blending off, the colour white.
void DrawFpsReadout(const FPSMETER& meter, int width, int height, const GlyphTable& glyphs, GLuint font);
