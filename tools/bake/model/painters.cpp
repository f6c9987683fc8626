#include "tools/bake/model/painters.h"

#include <algorithm>
#include <cmath>

namespace {
const Colour kWarm = Hex(0xFFD27A);
const Colour kWarmCentre = Hex(0xFFF1C2);
const Colour kSnow = Hex(0xEEF4FF);
const Colour kSnowShade = Hex(0xB9CCE8);
const Colour kSnowDeep = Hex(0x7D93B8);

float Fx(int x) { return static_cast<float>(x); }
}  // namespace

UvRect PixelRect::Uv(int w, int h) const {
    return {(Fx(x0) + 0.5f) / Fx(w), (Fx(y0) + 0.5f) / Fx(h), (Fx(x1) - 0.5f) / Fx(w), (Fx(y1) - 0.5f) / Fx(h)};
}

void PaintBricks(Canvas& c, const PixelRect& r, const Colour& brick, const Colour& mortar, float bw, float bh,
                 std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float a, float b) {
        const float px = Fx(x - r.x0) + 0.5f, py = Fx(y - r.y0) + 0.5f;
        const int row = static_cast<int>(std::floor(py / bh));
        const float shift = (row % 2) * bw * 0.5f;
        const int col = static_cast<int>(std::floor((px + shift) / bw));
        const float fx = std::fmod(px + shift, bw), fy = std::fmod(py, bh);
        const float edge = std::min({fx, bw - fx, fy * 1.3f, (bh - fy) * 1.3f});
        const float joint = 1.0f - SmoothStep(0.6f, 1.6f, edge);
        const float tone = 0.82f + 0.3f * ValueNoise(seed, Fx(col) * 0.37f, Fx(row) * 0.61f, 64);
        const float grit = 0.92f + 0.16f * Fbm(seed + 1u, a * 4.0f, b * 4.0f, 8, 2);
        Colour p = Shade(brick, tone * grit);
        if (fy < 1.5f) p = Shade(p, 1.08f);  // top edge catches the light
        c.At(x, y) = Mix(p, mortar, joint);
    });
}

void PaintPlanks(Canvas& c, const PixelRect& r, const Colour& wood, float pw, bool vertical, std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float a, float b) {
        const float along = vertical ? Fx(x - r.x0) + 0.5f : Fx(y - r.y0) + 0.5f;
        const int board = static_cast<int>(std::floor(along / pw));
        const float f = std::fmod(along, pw) / pw;
        const float grain = Fbm(seed + static_cast<std::uint32_t>(board), vertical ? a * 2.0f : a * 0.5f,
                                vertical ? b * 0.5f : b * 2.0f, vertical ? 4 : 16, 3);
        float k = 0.85f + 0.25f * grain + 0.12f * (ValueNoise(seed + 7u, Fx(board) * 0.5f, 0.3f, 64) - 0.5f);
        if (vertical) {
            k *= 1.0f - 0.55f * (1.0f - SmoothStep(0.0f, 0.12f, f)) - 0.25f * SmoothStep(0.85f, 1.0f, f);
        } else {
            k *= 0.7f + 0.35f * f;                              // each clapboard darker under the one above
            if (f < 0.1f) k *= 0.55f;                           // the shadow line
        }
        c.At(x, y) = Shade(wood, k);
    });
}

void PaintStones(Canvas& c, const PixelRect& r, const Colour& stone, const Colour& mortar, float size,
                 std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float, float) {
        const float px = Fx(x - r.x0) + 0.5f, py = Fx(y - r.y0) + 0.5f;
        const int row = static_cast<int>(std::floor(py / size));
        const float shift = ValueNoise(seed, Fx(row) * 0.7f, 0.0f, 64) * size;
        const float w = size * 1.5f;
        const int col = static_cast<int>(std::floor((px + shift) / w));
        const float fx = std::fmod(px + shift, w) / w - 0.5f, fy = std::fmod(py, size) / size - 0.5f;
        const float d = std::pow(std::pow(std::fabs(fx) * 2.0f, 3.0f) + std::pow(std::fabs(fy) * 2.0f, 3.0f), 1.0f / 3.0f);
        const float inside = 1.0f - SmoothStep(0.78f, 0.95f, d);
        const float tone = 0.75f + 0.4f * ValueNoise(seed + 3u, Fx(col) * 0.53f, Fx(row) * 0.71f, 64);
        const Colour p = Shade(stone, tone * (1.05f - 0.35f * (fy + 0.5f)));
        c.At(x, y) = Mix(mortar, p, inside);
    });
}

void PaintPlaster(Canvas& c, const PixelRect& r, const Colour& plaster, std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float a, float b) {
        c.At(x, y) = Shade(plaster, 0.9f + 0.12f * Fbm(seed, a * 2.0f, b * 2.0f, 6, 3));
    });
}

void PaintSnow(Canvas& c, const PixelRect& r, float shade, std::uint32_t seed) {
    ForEachPixel(c, r, [&](int x, int y, float a, float b) {
        const float n = Fbm(seed, a, b, 4, 3);
        Colour p = Mix(kSnow, kSnowShade, SmoothStep(0.45f, 0.8f, n) * 0.6f);
        p = Mix(p, kSnowDeep, shade * b * b * 0.6f);
        c.At(x, y) = p;
    });
}

void PaintLitWindow(Canvas& c, float x0, float y0, float x1, float y1, const Colour& trim, const Colour& shutter,
                    bool shutters) {
    const float w = x1 - x0, h = y1 - y0;
    // A faint warm spill on the wall around the window.
    AddGlow(c, (x0 + x1) * 0.5f, (y0 + y1) * 0.5f, std::max(w, h) * 1.1f, Shade(kWarm, 0.18f), 2.0f);
    if (shutters) {
        const float sw = w * 0.45f;
        for (int side = 0; side < 2; ++side) {
            const float sx0 = side == 0 ? x0 - sw - 1.0f : x1 + 1.0f;
            FillRoundBox(c, sx0, y0, sx0 + sw, y1, 1.0f, shutter);
            for (int k = 1; k < 4; ++k) {
                const float ly = y0 + h * static_cast<float>(k) / 4.0f;
                StrokeSegment(c, sx0 + 1.5f, ly, sx0 + sw - 1.5f, ly, 1.0f, Shade(shutter, 0.6f));
            }
        }
    }
    FillRoundBox(c, x0 - 1.5f, y0 - 1.5f, x1 + 1.5f, y1 + 1.5f, 1.0f, trim);
    // The glass: warm light, brightest low in the middle (a room lit by a fire).
    for (int y = static_cast<int>(y0); y < static_cast<int>(std::ceil(y1)); ++y) {
        for (int x = static_cast<int>(x0); x < static_cast<int>(std::ceil(x1)); ++x) {
            if (x < 0 || y < 0 || x >= c.width || y >= c.height) continue;
            const float a = (Fx(x) + 0.5f - x0) / w, b = (Fx(y) + 0.5f - y0) / h;
            const float d = std::hypot((a - 0.5f) * 1.4f, b - 0.65f);
            const Colour glass = Mix(kWarmCentre, Shade(kWarm, 0.8f), SmoothStep(0.0f, 0.75f, d));
            const float cover = Coverage(-std::min({Fx(x) + 0.5f - x0, x1 - Fx(x) - 0.5f, Fx(y) + 0.5f - y0,
                                                     y1 - Fx(y) - 0.5f}),
                                         1.0f);
            BlendOver(c.At(x, y), glass, cover);
        }
    }
    const float bar = std::max(1.2f, w * 0.09f);
    StrokeSegment(c, (x0 + x1) * 0.5f, y0, (x0 + x1) * 0.5f, y1, bar, trim);
    StrokeSegment(c, x0, y0 + h * 0.45f, x1, y0 + h * 0.45f, bar, trim);
    // Sill with a line of snow.
    FillRoundBox(c, x0 - 3.0f, y1 + 0.5f, x1 + 3.0f, y1 + 3.0f, 1.0f, Shade(trim, 0.8f));
    FillRoundBox(c, x0 - 2.5f, y1 - 0.5f, x1 + 2.5f, y1 + 1.5f, 1.0f, kSnow);
}

void PaintRoundWindow(Canvas& c, float cx, float cy, float radius, const Colour& trim) {
    AddGlow(c, cx, cy, radius * 2.0f, Shade(kWarm, 0.15f), 2.0f);
    FillDisc(c, cx, cy, radius + 1.5f, trim);
    FillDisc(c, cx, cy, radius, kWarm);
    FillDisc(c, cx, cy + radius * 0.2f, radius * 0.6f, kWarmCentre, 2.0f);
    StrokeSegment(c, cx - radius, cy, cx + radius, cy, 1.0f, trim);
    StrokeSegment(c, cx, cy - radius, cx, cy + radius, 1.0f, trim);
}

void PaintDoor(Canvas& c, float x0, float y0, float x1, float y1, const Colour& door, const Colour& trim) {
    const float w = x1 - x0, h = y1 - y0;
    FillRoundBox(c, x0 - 2.0f, y0 - 2.0f, x1 + 2.0f, y1, 2.0f, trim);
    FillRoundBox(c, x0, y0, x1, y1, 1.5f, door);
    for (int k = 0; k < 2; ++k) {
        const float py0 = y0 + h * (k == 0 ? 0.12f : 0.55f), py1 = y0 + h * (k == 0 ? 0.45f : 0.9f);
        FillRoundBox(c, x0 + w * 0.18f, py0, x1 - w * 0.18f, py1, 1.0f, Shade(door, 0.75f));
        FillRoundBox(c, x0 + w * 0.22f, py0 + 1.0f, x1 - w * 0.22f, py1 - 0.5f, 1.0f, Shade(door, 1.1f));
    }
    FillDisc(c, x1 - w * 0.18f, y0 + h * 0.55f, std::max(1.0f, w * 0.06f), Hex(0xE3B341));
    // Wreath: a ring of holly green with red berries and a bow.
    const float wr = w * 0.28f, wy = y0 + h * 0.3f, wx = (x0 + x1) * 0.5f;
    FillRing(c, wx, wy, wr, wr * 0.55f, Hex(0x1F5E3B), 1.2f);
    FillRing(c, wx - 0.5f, wy - 0.5f, wr * 0.9f, wr * 0.25f, Hex(0x3E8A4F), 1.2f);
    for (int k = 0; k < 6; ++k) {
        const float a = 6.2832f * static_cast<float>(k) / 6.0f + 0.4f;
        FillDisc(c, wx + std::cos(a) * wr * 0.95f, wy + std::sin(a) * wr * 0.95f, std::max(0.8f, wr * 0.16f),
                 Hex(0xD0202E));
    }
    FillDisc(c, wx, wy + wr * 0.9f, std::max(1.0f, wr * 0.28f), Hex(0xC8102E));
    // A lamp beside the door.
    const float lx = x1 + 5.0f, ly = y0 + h * 0.25f;
    AddGlow(c, lx, ly, 9.0f, Shade(kWarm, 0.5f), 2.0f);
    FillRoundBox(c, lx - 2.0f, ly - 3.0f, lx + 2.0f, ly + 3.0f, 1.0f, Hex(0x2A2A2A));
    FillRoundBox(c, lx - 1.2f, ly - 2.0f, lx + 1.2f, ly + 2.0f, 0.5f, kWarmCentre);
}

void DarkenEdges(Canvas& c, const PixelRect& r, float width, float amount, bool top, bool bottom, bool sides) {
    ForEachPixel(c, r, [&](int x, int y, float, float) {
        const float px = Fx(x - r.x0) + 0.5f, py = Fx(y - r.y0) + 0.5f;
        float d = 1e9f;
        if (top) d = std::min(d, py);
        if (bottom) d = std::min(d, Fx(r.Height()) - py);
        if (sides) d = std::min({d, px, Fx(r.Width()) - px});
        const float k = 1.0f - amount * (1.0f - SmoothStep(0.0f, width, d));
        c.At(x, y) = Shade(c.At(x, y), k);
    });
}
