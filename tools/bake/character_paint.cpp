#include <cmath>

#include "tools/bake/characters.h"
#include "tools/bake/model/painters.h"

void PaintSoft(Canvas& c, const PixelRect& r, const Colour& top, const Colour& bottom, float noise, std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float a, float b) {
        Colour p = Mix(top, bottom, SmoothStep(0.0f, 1.0f, b));
        const float n = Fbm(seed, a * 2.0f, b * 2.0f, 4, 3);
        p = Shade(p, 1.0f + noise * (n - 0.5f));
        c.At(x, y) = {Clamp01(p.r), Clamp01(p.g), Clamp01(p.b), 1.0f};
    });
}

void PaintEye(Canvas& c, float cx, float cy, float rx, float ry, bool open) {
    const Colour dark = Hex(0x1A1210);
    for (int y = static_cast<int>(cy - ry - 2); y <= static_cast<int>(cy + ry + 2); ++y) {
        for (int x = static_cast<int>(cx - rx - 2); x <= static_cast<int>(cx + rx + 2); ++x) {
            if (x < 0 || y < 0 || x >= c.width || y >= c.height) continue;
            const float px = (static_cast<float>(x) + 0.5f - cx) / rx, py = (static_cast<float>(y) + 0.5f - cy) / ry;
            if (open) {
                const float d = (std::sqrt(px * px + py * py) - 1.0f) * std::min(rx, ry);
                BlendOver(c.At(x, y), dark, Coverage(d, 1.0f));
                const float hx = px + 0.35f, hy = py + 0.4f;
                const float h = (std::sqrt(hx * hx + hy * hy) - 0.35f) * std::min(rx, ry);
                BlendOver(c.At(x, y), Hex(0xFFFFFF), Coverage(h, 1.0f));
            } else {
                // A lid line curving down, as a shut eye reads from afar.
                const float line = std::fabs(py - 0.35f * (1.0f - px * px)) * ry;
                const float ends = std::fabs(px) <= 1.0f ? 1.0f : 0.0f;
                BlendOver(c.At(x, y), dark, Coverage(line - 0.9f, 1.0f) * ends);
            }
        }
    }
}
