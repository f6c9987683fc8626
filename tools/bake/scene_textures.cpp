// "tex.brm": the scene's shared pictures. Glows and sparkles are painted as light
// (AlphaMode::Brightness), the reins as a keyed cut-out, the trees opaque.
#include <cmath>
#include <functional>

#include "assets/resource_contract.h"
#include "math/vector.h"
#include "tools/bake/bake.h"
#include "tools/bake/paint.h"

namespace {

const Colour kSnow = Hex(0xEEF4FF);
const Colour kSnowShade = Hex(0xB9CCE8);
const Colour kSnowDeep = Hex(0x7D93B8);
const Colour kGold = Hex(0xE3B341);

// Radius from the picture's centre in units of half its size (1 at the edge midpoints).
float UnitRadius(int x, int y, int size) {
    const float h = static_cast<float>(size) * 0.5f;
    return std::hypot((static_cast<float>(x) + 0.5f - h) / h, (static_cast<float>(y) + 0.5f - h) / h);
}

// Light falling to exactly zero at radius 1, so the quad's square edge never shows.
float EdgeFade(float r) { return 1.0f - SmoothStep(0.75f, 1.0f, r); }

// Draws `paint(dx)` at dx = -width, 0, +width, so shapes crossing the left or
// right edge wrap round and the picture tiles across u.
void Wrapped(int width, const std::function<void(float)>& paint) {
    for (int k = -1; k <= 1; ++k) paint(static_cast<float>(k * width));
}

// The moon: a lit disc with maria, craters lit from the upper left and soft limb
// darkening, in a faint cold halo. The disc fills 60 % of the quad.
Canvas PaintMoon() {
    const int size = 256;
    const float centre = 128.0f;
    const float radius = 76.0f;
    struct Crater {
        float x, y, r;
    };
    std::vector<Crater> craters;
    Rng rng(0x600D);
    while (craters.size() < 22) {
        const float r = radius * (0.035f + 0.15f * std::pow(rng.Uniform(), 2.0f));
        const float a = rng.Range(0.0f, 2.0f * kPiF);
        const float d = (radius - r) * std::sqrt(rng.Uniform());
        craters.push_back({centre + std::cos(a) * d, centre + std::sin(a) * d, r});
    }
    const Colour highland = Hex(0xFFF6E2);
    const Colour mare = Hex(0xA4A6AE);
    const Colour halo = Hex(0x8FA6D8);
    Canvas c(size, size, {0, 0, 0, 1});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float r = std::hypot(px - centre, py - centre) / radius;
            // Halo: strongest just outside the limb, gone at the quad's edge.
            const float outer = UnitRadius(x, y, size);
            const float haloLight = 0.45f * std::pow(std::max(0.0f, 1.0f - outer), 2.2f) / 0.4f * EdgeFade(outer);
            Colour light = Shade(halo, std::min(haloLight, 0.5f));
            const float inside = Coverage(std::hypot(px - centre, py - centre) - radius, 1.2f);
            if (inside > 0.0f) {
                const float u = px / static_cast<float>(size);
                const float v = py / static_cast<float>(size);
                const float maria = SmoothStep(0.48f, 0.62f, Fbm(11, u, v, 3, 4));
                Colour surface = Mix(highland, mare, maria * 0.8f);
                float albedo = 0.9f + 0.1f * Fbm(12, u, v, 32, 3);
                for (const Crater& k : craters) {
                    const float dx = (px - k.x) / k.r;
                    const float dy = (py - k.y) / k.r;
                    const float d = std::hypot(dx, dy);
                    if (d > 1.4f) continue;
                    // Light comes from the upper left: inside the bowl the upper-left wall
                    // is in shadow and the far wall lit; outside, the rim is the reverse.
                    const float towardsLight = d > 1e-3f ? (-dx - dy) / (d * 1.4142f) : 0.0f;
                    const float wall = SmoothStep(0.2f, 1.0f, d) * (1.0f - SmoothStep(0.95f, 1.05f, d));
                    const float rim = std::exp(-std::pow((d - 1.08f) / 0.14f, 2.0f));
                    albedo *= 0.93f - 0.3f * wall * towardsLight + 0.12f * rim * towardsLight + 0.07f * SmoothStep(1.0f, 1.1f, d);
                }
                const float z = std::sqrt(std::max(0.0f, 1.0f - r * r));
                const float limb = 0.45f + 0.55f * std::pow(z, 0.6f);
                surface = Shade(surface, albedo * limb * 0.97f);
                light = Mix(light, surface, inside);
            }
            c.At(x, y) = light;
        }
    }
    return c;
}

// A soft red glow with a hot pink-white core, for the lead reindeer's nose.
Canvas PaintNoseGlow() {
    const int size = 64;
    Canvas c(size, size, {0, 0, 0, 1});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float r = UnitRadius(x, y, size);
            const float fade = EdgeFade(r);
            const float red = (0.75f * std::exp(-std::pow(r / 0.3f, 2.0f)) + 0.25f * std::pow(std::max(0.0f, 1.0f - r), 2.0f)) * fade;
            const float core = 0.8f * std::exp(-std::pow(r / 0.12f, 2.0f));
            c.At(x, y) = {std::min(1.0f, red + core * 0.3f), core * 0.55f + red * 0.08f, core * 0.6f + red * 0.1f, 1};
        }
    }
    return c;
}

// The round glow shared by stars, chimney smoke and snowflakes: a white disc
// with a hot centre and a soft rim. Brightness is also opacity, so any faint
// puff would draw as a grey ring over the snow-covered ground; a near-opaque
// white core keeps flakes white there, and overlapping discs still billow as smoke.
Canvas PaintRoundGlow() {
    const int size = 128;
    Canvas c(size, size, {0, 0, 0, 1});
    const Colour tint = Hex(0xF4F8FF);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float r = UnitRadius(x, y, size);
            const float k = (0.75f + 0.25f * std::exp(-std::pow(r / 0.2f, 2.0f))) * SmoothStep(0.8f, 0.3f, r) * EdgeFade(r);
            c.At(x, y) = Shade(tint, k);
        }
    }
    return c;
}

// A four-pointed twinkle with shorter diagonal rays; white with a lilac cast
// (the scene tints sparkles magenta).
Canvas PaintSparkle() {
    const int size = 64;
    Canvas c(size, size, {0, 0, 0, 1});
    const Colour tint = Hex(0xF8F0FF);
    const float h = static_cast<float>(size) * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - h) / h;
            const float dy = (static_cast<float>(y) + 0.5f - h) / h;
            const float r = std::hypot(dx, dy);
            auto ray = [](float along, float across, float length, float width) {
                const float a = std::fabs(along) / length;
                if (a >= 1.0f) return 0.0f;
                return std::exp(-std::fabs(across) / (width * (1.0f - a) + 0.004f)) * std::pow(1.0f - a, 1.5f);
            };
            const float s = 0.7071f;
            const float main = std::max(ray(dx, dy, 0.98f, 0.06f), ray(dy, dx, 0.98f, 0.06f));
            const float diag = std::max(ray((dx + dy) * s, (dx - dy) * s, 0.5f, 0.05f), ray((dx - dy) * s, (dx + dy) * s, 0.5f, 0.05f));
            const float core = std::exp(-std::pow(r / 0.13f, 2.0f)) + 0.25f * std::exp(-std::pow(r / 0.4f, 2.0f));
            c.At(x, y) = Shade(tint, std::min(1.0f, (main + 0.6f * diag + core) * EdgeFade(r)));
        }
    }
    return c;
}

// A round jingle bell of radius r hanging on a short tab below (x, top).
void PaintBell(Canvas& c, float x, float top, float r) {
    const float cy = top + 3.0f + r;
    FillRoundBox(c, x - 2.0f, top - 2.0f, x + 2.0f, top + 4.0f, 1.0f, Hex(0x5A3520));
    FillRing(c, x, top + 3.0f, 1.8f, 1.2f, Hex(0x9C7420));
    FillDisc(c, x + 0.8f, cy + 1.0f, r, Hex(0x7A5410));              // shadowed side
    FillDisc(c, x - 0.4f, cy - 0.4f, r - 0.8f, kGold);               // body
    FillDisc(c, x - r * 0.35f, cy - r * 0.35f, r * 0.35f, Hex(0xFFF1B8), 1.5f);  // shine
    // The slot across the bottom with a hole at each end.
    StrokeSegment(c, x - r * 0.55f, cy + r * 0.35f, x + r * 0.55f, cy + r * 0.35f, 1.4f, Hex(0x3A2608));
    FillDisc(c, x - r * 0.55f, cy + r * 0.35f, 1.3f, Hex(0x3A2608));
    FillDisc(c, x + r * 0.55f, cy + r * 0.35f, 1.3f, Hex(0x3A2608));
}

// A leather strap along the top of the ribbon with stitching and gold studs, and
// little bells hanging below; the rest is keyed out. u runs along the rein.
Canvas PaintReins() {
    const int width = 256;
    const int height = 64;
    Canvas c(width, height, {0, 0, 0, 0});
    const float top = 5.0f;
    const float bottom = 21.0f;
    const Colour leather = Hex(0x7A4A2A);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float py = static_cast<float>(y) + 0.5f;
            const float cover = Coverage(std::fabs(py - (top + bottom) * 0.5f) - (bottom - top) * 0.5f, 1.0f);
            if (cover <= 0.0f) continue;
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            const float v = py / static_cast<float>(height);
            const float grain = Fbm(31, u, v * 0.25f, 16, 4);
            const float across = (py - top) / (bottom - top);
            float k = 0.75f + 0.35f * grain;
            k *= 1.15f - 0.45f * across;              // lit from above
            if (across < 0.12f) k *= 1.25f;           // bevelled top edge
            c.At(x, y) = {leather.r * k, leather.g * k, leather.b * k, cover};
        }
    }
    // Stitching: short pale dashes along both edges.
    const Colour thread = Hex(0xD9B77E);
    for (int x = 2; x < width; x += 8) {
        const float fx = static_cast<float>(x);
        StrokeSegment(c, fx, top + 3.0f, fx + 4.0f, top + 3.0f, 1.1f, thread);
        StrokeSegment(c, fx, bottom - 3.0f, fx + 4.0f, bottom - 3.0f, 1.1f, Shade(thread, 0.8f));
    }
    // Studs between the bells, bells hanging in between.
    const float mid = (top + bottom) * 0.5f;
    for (int i = 0; i < 8; ++i) {
        const float x = 16.0f + 32.0f * static_cast<float>(i);
        FillDisc(c, x, mid, 4.0f, Hex(0x9C7420));
        FillDisc(c, x - 0.6f, mid - 0.6f, 3.0f, kGold);
        FillDisc(c, x - 1.4f, mid - 1.4f, 1.2f, Hex(0xFFF3C0));
    }
    for (int i = 0; i < 4; ++i) {
        const float x = 32.0f + 64.0f * static_cast<float>(i);
        PaintBell(c, x, bottom - 1.0f, 7.5f);
    }
    return c;
}

// One drooping branch tip hanging from (x, y): a fan of needles `w` wide and `h`
// long, lighter along its upper side, with a lump of snow lying on top.
void PaintFrond(Canvas& c, Rng& rng, float x, float y, float w, float h, const Colour& green, const Colour& dark,
                float snowiness) {
    const float droop = rng.Range(-0.15f, 0.15f) * w;
    std::vector<Point> fan = {{x, y},
                              {x + w * 0.5f + droop, y + h * 0.75f},
                              {x + w * 0.25f + droop, y + h * 0.95f},
                              {x + droop, y + h},
                              {x - w * 0.25f + droop, y + h * 0.95f},
                              {x - w * 0.5f + droop, y + h * 0.75f}};
    FillPolygon(c, fan, Shade(dark, 0.85f), 2.0f);
    // Needles: pairs of strokes slanting down and out from a central rib.
    const int pairs = static_cast<int>(h / 3.0f);
    for (int i = 1; i <= pairs; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(pairs + 1);
        const float rx = x + droop * t;
        const float ry = y + h * 0.92f * t;
        const float len = w * 0.45f * std::sin(kPiF * (0.25f + 0.6f * t));
        const Colour tone = Mix(Shade(green, 1.35f), green, t);
        for (int side = -1; side <= 1; side += 2) {
            const float slope = rng.Range(0.45f, 0.85f);
            StrokeSegment(c, rx, ry, rx + static_cast<float>(side) * len, ry + len * slope, 1.5f,
                          Shade(tone, rng.Range(0.85f, 1.15f)), 1.2f);
        }
    }
    StrokeSegment(c, x, y + 2.0f, x + droop, y + h * 0.9f, 1.4f, Shade(dark, 0.7f));
    if (snowiness <= 0.0f) return;
    // Snow: a long lump along the top of the fan, shaded blue underneath.
    const float sw = w * rng.Range(0.7f, 1.0f) * snowiness;
    const float sy = y + h * 0.3f;
    const float sx = x + droop * 0.3f;
    FillRoundBox(c, sx - sw * 0.5f, sy, sx + sw * 0.5f, sy + h * 0.17f, h * 0.08f, Shade(kSnowDeep, 0.9f), 1.5f);
    FillRoundBox(c, sx - sw * 0.5f, sy - h * 0.04f, sx + sw * 0.5f, sy + h * 0.12f, h * 0.08f, kSnowShade, 1.2f);
    FillRoundBox(c, sx - sw * 0.46f, sy - h * 0.06f, sx + sw * 0.42f, sy + h * 0.06f, h * 0.06f, kSnow, 1.2f);
    for (int k = 0; k < 3; ++k) {
        const float lx = sx + rng.Range(-0.4f, 0.4f) * sw;
        FillDisc(c, lx, sy - h * 0.04f, h * rng.Range(0.05f, 0.09f), kSnow, 1.2f);
    }
}

// The needles of one cone tier (rows 0..rows-1): rows of drooping branch tips,
// the upper ones overlapping the lower, snow on each, a snow cap at the tip and
// a snowy rim. Tiles in u.
void PaintNeedles(Canvas& c, int rows, std::uint32_t seed, const Colour& green, const Colour& dark, float snowChance) {
    const int width = c.width;
    const float h = static_cast<float>(rows);
    Rng rng(seed);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            const float v = (static_cast<float>(y) + 0.5f) / h;
            c.At(x, y) = Shade(dark, 0.6f + 0.3f * Fbm(seed, u, v * 0.75f, 8, 3));
        }
    }
    // Lowest row first, so higher branches hang over lower ones.
    const int layers = 5;
    for (int layer = layers - 1; layer >= 0; --layer) {
        const int count = 7 + layer * 2;
        const float span = static_cast<float>(width) / static_cast<float>(count);
        const float top = h * (0.02f + 0.19f * static_cast<float>(layer));
        const float length = h * 0.3f;
        const float offset = rng.Range(0.0f, span);
        for (int i = 0; i < count; ++i) {
            const float x = offset + span * static_cast<float>(i) + rng.Range(-0.2f, 0.2f) * span;
            const float y = top + rng.Range(-0.04f, 0.04f) * h;
            const float w = span * rng.Range(1.3f, 1.6f);
            const float snow = rng.Uniform() < snowChance ? rng.Range(0.7f, 1.0f) : 0.0f;
            const std::uint64_t frondSeed = rng.Next();
            Wrapped(width, [&](float off) {
                Rng same(frondSeed);  // each wrapped copy paints identically
                PaintFrond(c, same, x + off, y, w, length, green, dark, snow);
            });
        }
    }
    Blur(c, 0.7f, true);  // calm the needles: no mipmaps, so fine detail would shimmer
    // Snow cap at the tip and a snowy rim.
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            const float py = static_cast<float>(y) + 0.5f;
            const float capEdge = h * (0.07f + 0.06f * Fbm(seed + 21u, u, 0.0f, 8, 3)) +
                                  5.0f * std::fabs(std::sin(kPiF * u * 5.0f));
            const float cap = Coverage(py - capEdge, 2.0f);
            if (cap > 0.0f) {
                const Colour snow = Mix(kSnow, kSnowShade, SmoothStep(capEdge - 8.0f, capEdge, py) * 0.8f);
                BlendOver(c.At(x, y), snow, cap);
            }
            const float rimEdge = h - 4.0f - 3.0f * Fbm(seed + 22u, u, 0.5f, 16, 2);
            const float rim = Coverage(rimEdge - py, 1.5f);
            if (rim > 0.0f) BlendOver(c.At(x, y), Mix(kSnowShade, kSnowDeep, SmoothStep(rimEdge, h, py)), rim);
        }
    }
}

// Bark, plain snow and polished gold along the bottom quarter (see kTreeBark etc.).
void PaintTreeStrip(Canvas& c, int y0, std::uint32_t seed) {
    const int width = c.width;
    const int barkWidth = width / 2;
    const int snowEnd = width * 3 / 4;
    const float rows = static_cast<float>(c.height - y0);
    const Colour bark = Hex(0x5E3D26);
    const Colour furrow = Hex(0x2E1C12);
    const Colour ridge = Hex(0x8A6244);
    for (int y = y0; y < c.height; ++y) {
        const float v = (static_cast<float>(y - y0) + 0.5f) / rows;
        for (int x = 0; x < width; ++x) {
            Colour p;
            if (x < barkWidth) {
                const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(barkWidth);
                const float n = Fbm(seed, u, v * 0.125f, 12, 3);
                const float fine = Fbm(seed + 1u, u, v * 0.25f, 32, 2);
                p = Mix(bark, furrow, SmoothStep(0.45f, 0.7f, n));
                p = Mix(p, ridge, SmoothStep(0.62f, 0.85f, fine) * 0.6f);
                p = Shade(p, 0.8f + 0.4f * std::sin(kPiF * u));  // rounder in the middle
            } else if (x < snowEnd) {
                const float u = (static_cast<float>(x - barkWidth) + 0.5f) / static_cast<float>(snowEnd - barkWidth);
                p = Mix(kSnow, kSnowShade, 0.35f * Fbm(seed + 2u, u, v, 8, 3));
            } else {
                const float u = (static_cast<float>(x - snowEnd) + 0.5f) / static_cast<float>(width - snowEnd);
                const float sheen = 0.5f + 0.5f * std::sin(kPiF * 2.0f * (u * 0.7f + v * 0.5f));
                p = Mix(Hex(0xA87A1E), Hex(0xFFE38A), sheen);
            }
            c.At(x, y) = p;
        }
    }
}

// The common fir: dark green needles under snow.
Canvas PaintTree() {
    Canvas c(256, 256, {0, 0, 0, 1});
    PaintNeedles(c, 192, 601, Hex(0x1F5E3B), Hex(0x123D27), 0.8f);
    PaintTreeStrip(c, 192, 602);
    return c;
}

// The rare tree: a blue-green spruce dressed with baubles, a gold garland and
// warm lights, so it stands out when it passes.
Canvas PaintRareTree() {
    Canvas c(256, 256, {0, 0, 0, 1});
    const int rows = 192;
    PaintNeedles(c, rows, 401, Hex(0x22604E), Hex(0x10372C), 0.15f);
    const int width = c.width;
    // Garland: a gold bead chain swinging once round the tier, twice down it.
    for (int i = 0; i < 2; ++i) {
        const float base = static_cast<float>(rows) * (0.42f + 0.3f * static_cast<float>(i));
        for (int x = 0; x < width; x += 3) {
            const float u = static_cast<float>(x) / static_cast<float>(width);
            const float y = base + 10.0f * std::sin(2.0f * kPiF * (u * 2.0f + 0.3f * static_cast<float>(i)));
            Wrapped(width, [&](float off) {
                FillDisc(c, static_cast<float>(x) + off, y, 1.6f, Hex(0xC8962C));
                FillDisc(c, static_cast<float>(x) + off - 0.4f, y - 0.4f, 0.8f, Hex(0xFFE9A0));
            });
        }
    }
    // Baubles with a cap, a highlight and a darker lower rim.
    const Colour colours[] = {Hex(0xC8102E), kGold, Hex(0x2F5FB3), Hex(0xD8DDE6), Hex(0xC8102E)};
    Rng rng(402);
    for (int i = 0; i < 22; ++i) {
        const float x = rng.Range(0.0f, static_cast<float>(width));
        const float y = rng.Range(0.2f, 0.93f) * static_cast<float>(rows);
        const float r = rng.Range(4.0f, 6.5f);
        const Colour col = colours[rng.Below(5)];
        Wrapped(width, [&](float off) {
            const float cx = x + off;
            FillDisc(c, cx + 1.0f, y + 1.5f, r, Hex(0x0A2018, 0.5f), 2.0f);
            FillDisc(c, cx, y, r, Shade(col, 0.6f));
            FillDisc(c, cx - r * 0.15f, y - r * 0.15f, r * 0.8f, col, 1.5f);
            FillDisc(c, cx - r * 0.35f, y - r * 0.4f, r * 0.28f, Hex(0xFFFFFF, 0.9f), 1.2f);
            FillRoundBox(c, cx - 1.5f, y - r - 2.0f, cx + 1.5f, y - r + 0.5f, 0.5f, Hex(0xB89A5A));
        });
    }
    // Small warm lights.
    for (int i = 0; i < 40; ++i) {
        const float x = rng.Range(0.0f, static_cast<float>(width));
        const float y = rng.Range(0.18f, 0.95f) * static_cast<float>(rows);
        Wrapped(width, [&](float off) {
            FillDisc(c, x + off, y, 3.5f, Hex(0xFFD27A, 0.35f), 3.0f);
            FillDisc(c, x + off, y, 1.4f, Hex(0xFFF1C2));
        });
    }
    PaintTreeStrip(c, rows, 403);
    return c;
}
}  // namespace

std::vector<Lump> BuildSceneTextures() {
    using namespace scene_image;
    std::vector<Lump> lumps(kCount);
    lumps[kMoon] = ImageLump(LightToBrightnessAlpha(PaintMoon()), AlphaMode::Brightness);
    lumps[kNoseGlow] = ImageLump(LightToBrightnessAlpha(PaintNoseGlow()), AlphaMode::Brightness);
    lumps[kGlow] = ImageLump(LightToBrightnessAlpha(PaintRoundGlow()), AlphaMode::Brightness);
    lumps[kReins] = ImageLump(PaintReins(), AlphaMode::ColourKey, {0, 0, 0, 1});
    lumps[kRareTree] = ImageLump(PaintRareTree(), AlphaMode::Opaque);
    lumps[kSparkle] = ImageLump(LightToBrightnessAlpha(PaintSparkle()), AlphaMode::Brightness);
    lumps[kTree] = ImageLump(PaintTree(), AlphaMode::Opaque);
    return lumps;
}
