#include "text/fps.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "text/text.h"

namespace {
constexpr double kWindow = 1.0;  // seconds per average
}

void FPSMETER::AddFrame(double dt, double cpuSeconds) {
    if (!(dt > 0.0) || !std::isfinite(dt)) return;
    if (windowCpuStart < 0.0) windowCpuStart = cpuSeconds;
    windowSeconds += dt;
    ++windowFrames;
    if (windowSeconds < kWindow - 1e-9) return;  // a second of 1/30 s frames may sum just short
    fps = static_cast<float>(windowFrames / windowSeconds);
    load = static_cast<float>(std::max(0.0, cpuSeconds - windowCpuStart) / windowSeconds * 100.0);
    measured = true;
    windowSeconds = 0.0;
    windowFrames = 0;
    windowCpuStart = cpuSeconds;
}

void FPSMETER::Lines(char* fpsLine, char* loadLine, int capacity) const {
    if (capacity <= 0) return;
    const auto size = static_cast<std::size_t>(capacity);
    if (!measured) {
        std::snprintf(fpsLine, size, "FPS: --");
        std::snprintf(loadLine, size, "Load: --");
        return;
    }
    std::snprintf(fpsLine, size, "FPS: %.1f", static_cast<double>(fps));
    std::snprintf(loadLine, size, "Load: %.1f%%", static_cast<double>(load));
}

void DrawFpsReadout(const FPSMETER& meter, int width, int height, const GlyphTable& glyphs, GLuint font) {
    if (font == 0 || width <= 0 || height <= 0) return;
    char fpsLine[32];
    char loadLine[32];
    meter.Lines(fpsLine, loadLine, sizeof fpsLine);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLboolean lighting = glIsEnabled(GL_LIGHTING);
    const GLboolean depth = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);

    // Cells of 16 pixels at 720 lines, growing with the view; DrawString
    // centres, so each line is placed by its own half width.
    const float size = std::max(12.0f, static_cast<float>(height) / 45.0f);
    const char* lines[2] = {fpsLine, loadLine};
    for (int i = 0; i < 2; ++i) {
        const float halfWidth = 0.375f * static_cast<float>(std::strlen(lines[i])) * size;
        glPushMatrix();
        glTranslatef(size * 0.5f + halfWidth, size * (2.0f - static_cast<float>(i)), 0.0f);
        DrawString(glyphs, lines[i], size, 1.0f, font);
        glPopMatrix();
    }

    if (!texturing) glDisable(GL_TEXTURE_2D);
    if (depth) glEnable(GL_DEPTH_TEST);
    if (lighting) glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
