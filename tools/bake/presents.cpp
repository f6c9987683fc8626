// "presents.brm": present shapes (one group each, centred on the origin, about
// one scene unit across) tied with ribbons and bows, and wrapping pictures. The
// saver binds any wrapping to any shape, so all pictures share one layout: the
// paper on the left three quarters (its pattern repeats across that width, so
// round boxes can wrap it several times), the ribbon on the right quarter.
#include <algorithm>
#include <cmath>
#include <string>

#include "math/vector.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/models.h"

namespace {
constexpr int kSize = 128;
const PixelRect kPaper = {0, 0, 96, 128};
const PixelRect kRibbon = {96, 0, 128, 128};
constexpr float kBand = 0.16f;  // ribbon width

UvRect PaperUv() { return kPaper.Uv(kSize, kSize); }
UvRect RibbonUv() { return kRibbon.Uv(kSize, kSize); }
// Part of a rectangle: (a0, b0) to (a1, b1) in fractions across it.
UvRect Part(const UvRect& r, float a0, float b0, float a1, float b1) {
    const V2 p = r.At(a0, b0), q = r.At(a1, b1);
    return {p.x, p.y, q.x, q.y};
}

// In flight a present is a few pixels across against the night sky, so no
// paper is darker than a mid blue or green: a navy present would vanish.
struct Wrapping {
    enum Pattern { kStripes, kDots, kStars, kChecks, kTartan } pattern;
    Colour paper, ink, ribbon;
};
const Wrapping kWrappings[kPresentImages] = {
    {Wrapping::kStripes, Hex(0xC8102E), Hex(0xF5F5F0), Hex(0xE3B341)},
    {Wrapping::kDots, Hex(0x2E8B3E), Hex(0xE3B341), Hex(0xC8102E)},
    {Wrapping::kStars, Hex(0x3366CC), Hex(0xF5F5F0), Hex(0xF5F5F0)},
    {Wrapping::kChecks, Hex(0xD9A92E), Hex(0xB3122B), Hex(0x2E8B3E)},
    {Wrapping::kDots, Hex(0xF2EEE6), Hex(0xC8102E), Hex(0x2E8B3E)},
    {Wrapping::kTartan, Hex(0xB3122B), Hex(0x1F5E3B), Hex(0xE3B341)},
    {Wrapping::kStripes, Hex(0x2E8B3E), Hex(0xF5F5F0), Hex(0xC8102E)},
    {Wrapping::kStars, Hex(0x2A56B0), Hex(0xE3B341), Hex(0xE3B341)},
    {Wrapping::kStripes, Hex(0xF2EEE6), Hex(0x2F5FB3), Hex(0xC8102E)},
    {Wrapping::kStars, Hex(0xA50E26), Hex(0xE3B341), Hex(0xF5F5F0)},
    {Wrapping::kDots, Hex(0xD9A92E), Hex(0xF5F5F0), Hex(0xC8102E)},
    {Wrapping::kTartan, Hex(0x2E7D46), Hex(0xC8102E), Hex(0xE3B341)},
};

// Pattern ink coverage at pixel (x, y) of the paper; every period divides the
// paper's 96 x 128 pixels so the pattern repeats cleanly across it.
float Ink(const Wrapping& w, float x, float y) {
    switch (w.pattern) {
        case Wrapping::kStripes: {
            const float d = std::fmod(x + y + 256.0f, 16.0f);
            return Coverage(std::fabs(d - 8.0f) - 3.0f, 1.2f);
        }
        case Wrapping::kDots: {
            const float gx = std::fmod(x, 16.0f), gy = std::fmod(y, 16.0f);
            const float ox = std::fmod(x + 8.0f, 16.0f), oy = std::fmod(y + 8.0f, 16.0f);
            const float big = Coverage(std::hypot(gx - 8.0f, gy - 8.0f) - 3.2f, 1.2f);
            const float small = Coverage(std::hypot(ox - 8.0f, oy - 8.0f) - 1.6f, 1.2f);
            return std::max(big, small);
        }
        case Wrapping::kStars: {
            const float cx = std::floor(x / 32.0f) * 32.0f + 16.0f, cy = std::floor(y / 32.0f) * 32.0f + 16.0f;
            const float dx = x - cx, dy = y - cy;
            const float r = std::hypot(dx, dy);
            const float a = std::atan2(dy, dx) + kPiF * 0.5f;
            const float spike = 0.5f + 0.5f * std::cos(5.0f * a);
            const float big = Coverage(r - (4.0f + 5.5f * spike * spike), 1.2f);
            // A small star between the big ones.
            const float sx = std::fmod(x + 16.0f, 32.0f) - 16.0f, sy = std::fmod(y + 16.0f, 32.0f) - 16.0f;
            const float small = Coverage(std::hypot(sx, sy) - 1.8f, 1.2f);
            return std::max(big, small);
        }
        case Wrapping::kChecks: {
            const bool a = static_cast<int>(x / 16.0f) % 2 == 0, b = static_cast<int>(y / 16.0f) % 2 == 0;
            return a != b ? 1.0f : 0.0f;
        }
        case Wrapping::kTartan: {
            const float gx = std::fmod(x, 32.0f), gy = std::fmod(y, 32.0f);
            const float wide = 0.45f * (Coverage(std::fabs(gx - 16.0f) - 6.0f, 1.0f) + Coverage(std::fabs(gy - 16.0f) - 6.0f, 1.0f));
            const float thin = std::max(Coverage(std::fabs(gx - 3.0f) - 1.0f, 1.0f), Coverage(std::fabs(gy - 3.0f) - 1.0f, 1.0f));
            return std::min(1.0f, wide + thin * 0.6f);
        }
    }
    return 0.0f;
}
}  // namespace

Canvas PresentImage(int index) {
    const Wrapping& w = kWrappings[index];
    Canvas c(kSize, kSize, Hex(0x000000));
    ForEachPixel(c, kPaper, [&](int x, int y, float a, float b) {
        const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
        Colour p = Mix(w.paper, w.ink, Ink(w, px, py));
        // Paper sheen and a crinkle or two.
        p = Shade(p, 0.93f + 0.12f * Fbm(900u + static_cast<std::uint32_t>(index), a, b, 4, 3));
        c.At(x, y) = p;
    });
    DarkenEdges(c, kPaper, 8.0f, 0.25f, true, true, true);
    // Ribbon: satin with a bright band down the middle and darker edges.
    ForEachPixel(c, kRibbon, [&](int x, int y, float a, float b) {
        const float across = std::fabs(a - 0.5f) * 2.0f;
        const float sheen = std::exp(-std::pow(across / 0.35f, 2.0f));
        Colour p = Shade(w.ribbon, 0.7f + 0.2f * (1.0f - across));
        p = Mix(p, Hex(0xFFFFFF), sheen * 0.35f);
        p = Shade(p, 0.9f + 0.1f * std::sin(b * kPiF * 6.0f));
        if (across > 0.82f) p = Shade(p, 0.75f);
        c.At(x, y) = p;
    });
    return c;
}

namespace {
// A bow on top of a present at height `top`: two flat ribbon loops standing up
// and leaning out, a knot and two short tails, all on the ribbon strip.
void AddBow(Mesh& m, float top, float size) {
    const UvRect r = RibbonUv();
    const std::vector<V2> flat = {{-0.05f * size, -0.012f}, {0.05f * size, -0.012f}, {0.05f * size, 0.012f},
                                  {-0.05f * size, 0.012f}};
    SweepOptions loop;
    loop.closed = true;
    loop.smoothSection = false;
    for (int side = -1; side <= 1; side += 2) {
        const float s = static_cast<float>(side);
        std::vector<V3> path;
        for (int i = 0; i < 12; ++i) {
            const float a = 2.0f * kPiF * static_cast<float>(i) / 12.0f;
            path.push_back({0.14f * size * std::cos(a), 0.075f * size * std::sin(a), 0.0f});
        }
        AddSweep(m, Move(s * 0.12f * size, top + 0.075f * size, 0.0f) * Xform::RotateZ(s * 25.0f), path, {0, 0, 1}, flat,
                 r, loop);
        AddBox(m, Move(s * 0.1f * size, top + 0.012f, s * 0.12f * size) * Xform::RotateY(s * 35.0f + 90.0f),
               {0.28f * size, 0.02f, kBand * 0.8f}, BoxUv::All(r));
    }
    AddSphere(m, Move(0, top + 0.05f * size, 0) * Xform::Scale({1.0f, 0.8f, 1.0f}), 0.07f * size, 8, 5, r);
}

// A box of `size` centred on the origin, ribbons round it both ways and a bow on top.
void AddBoxPresent(Mesh& m, V3 size) {
    AddBox(m, Xform(), size, BoxUv::All(PaperUv()));
    const BoxUv ribbon = BoxUv::All(RibbonUv());
    AddBox(m, Xform(), {size.x + 0.02f, size.y + 0.02f, kBand}, ribbon);
    AddBox(m, Xform(), {kBand, size.y + 0.03f, size.z + 0.03f}, ribbon);
    AddBow(m, size.y * 0.5f + 0.015f, std::min(size.x, size.z) + 0.2f);
}

// A round box: paper wrapped round `repeats` times, a ribbon round the middle,
// a cross of ribbon over the lid and a bow.
void AddRoundPresent(Mesh& m, float radius, float height, int repeats) {
    const Xform base = Move(0, -height * 0.5f, 0);
    LatheOptions o;
    o.segments = 16;
    o.uRepeats = repeats;
    o.vStart = 1.0f;
    o.vEnd = 0.0f;
    AddLathe(m, base, {{radius, 0.0f}, {radius, height}}, PaperUv(), o);
    AddDisc(m, base, radius, 0.0f, false, 16, PaperUv());
    AddDisc(m, base, radius, height, true, 16, PaperUv());
    // The lid's rim: a slightly wider short ring at the top.
    // The rim shows a slice of the paper as tall as itself, so the pattern keeps its size.
    AddLathe(m, base, {{radius + 0.025f, height - 0.12f}, {radius + 0.025f, height + 0.01f}},
             Part(PaperUv(), 0.0f, 0.0f, 1.0f, 0.13f / height), o);
    AddDisc(m, base, radius + 0.025f, height + 0.01f, true, 16, PaperUv());
    AddDisc(m, base, radius + 0.025f, height - 0.12f, false, 16, PaperUv());
    LatheOptions band;
    band.segments = 16;
    // Round the side the ribbon shows its bright middle only (its sheen runs across u).
    const Xform bandAt = Move(0, -kBand * 0.5f - 0.08f, 0);
    AddLathe(m, bandAt, {{radius + 0.015f, 0.0f}, {radius + 0.015f, kBand}}, Part(RibbonUv(), 0.35f, 0.0f, 0.65f, 1.0f),
             band);
    AddDisc(m, bandAt, radius + 0.015f, 0.0f, false, 16, RibbonUv());
    AddDisc(m, bandAt, radius + 0.015f, kBand, true, 16, RibbonUv());
    const BoxUv ribbon = BoxUv::All(RibbonUv());
    AddBox(m, Move(0, height * 0.5f + 0.02f, 0), {2.0f * radius * 0.97f, 0.02f, kBand}, ribbon);
    AddBox(m, Move(0, height * 0.5f + 0.025f, 0), {kBand, 0.02f, 2.0f * radius * 0.97f}, ribbon);
    AddBow(m, height * 0.5f + 0.035f, radius * 2.0f * 0.8f);
}
}  // namespace

Mesh PresentsMesh() {
    Mesh m;
    for (int k = 0; k < kPresentImages; ++k) m.AddMaterial(PlainMaterial("wrapping" + std::to_string(k)));
    m.Use(m.AddGroup("cube", 0));
    AddBoxPresent(m, {0.8f, 0.8f, 0.8f});
    m.Use(m.AddGroup("tall box", 1));
    AddBoxPresent(m, {0.6f, 1.0f, 0.6f});
    m.Use(m.AddGroup("flat box", 2));
    AddBoxPresent(m, {1.0f, 0.4f, 0.75f});
    m.Use(m.AddGroup("hatbox", 3));
    AddRoundPresent(m, 0.45f, 0.7f, 4);
    m.Use(m.AddGroup("tin", 4));
    AddRoundPresent(m, 0.5f, 0.35f, 4);
    return m;
}

std::vector<Lump> BuildPresents() {
    std::vector<Lump> lumps = {ModelLump(PresentsMesh(), kPresentsModel.scale)};
    for (int k = 0; k < kPresentImages; ++k) lumps.push_back(ImageLump(PresentImage(k), AlphaMode::Opaque));
    return lumps;
}
