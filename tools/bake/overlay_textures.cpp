// "bramble.works": the overlay's font and pictures. The pictures drawn over the
// scene are keyed cut-outs (AlphaMode::ColourKey) on a dark navy key, which
// leaves a thin dark rim round every shape; the star strip is painted as light.
#include <algorithm>
#include <cmath>
#include <string>

#include "math/vector.h"
#include "tools/bake/bake.h"
#include "tools/bake/paint.h"

namespace {
constexpr int kIntroScale = 2;  // pixels per design unit of the intro's pictures

const Colour kKey = Hex(0x081026);
const Colour kSnow = Hex(0xEEF4FF);
const Colour kSnowShade = Hex(0xB9CCE8);
const Colour kSnowDeep = Hex(0x7D93B8);
const Colour kRed = Hex(0xC8102E);
const Colour kRedDark = Hex(0x7E0A1E);
const Colour kGold = Hex(0xE3B341);
const Colour kGoldLight = Hex(0xFFE38A);
const Colour kGoldDark = Hex(0xA87A1E);
const Colour kFir = Hex(0x1F5E3B);
const Colour kFirDark = Hex(0x123D27);
const Colour kWindow = Hex(0xFFD27A);
const Colour kWindowCentre = Hex(0xFFF1C2);
const Colour kFontOutline = Hex(0x0B1633);

// ---------------------------------------------------------------- lettering

// Slants a mask: rows above `baseline` move right by `k` pixels per row.
Mask Shear(const Mask& m, float k, float baseline) {
    const int extra = static_cast<int>(std::ceil(std::fabs(k) * static_cast<float>(m.height)));
    Mask out(m.width + extra, m.height);
    for (int y = 0; y < m.height; ++y) {
        const float shift = k * (baseline - static_cast<float>(y)) + (k < 0 ? static_cast<float>(extra) : 0.0f);
        for (int x = 0; x < out.width; ++x) {
            const float sx = static_cast<float>(x) - shift;
            const int x0 = static_cast<int>(std::floor(sx));
            const float t = sx - static_cast<float>(x0);
            out.At(x, y) = m.Get(x0, y) * (1.0f - t) + m.Get(x0 + 1, y) * t;
        }
    }
    return out;
}

// Paints mask `m` at (ox, oy) with a colour that depends on the mask row.
template <typename F>
void FillMaskRows(Canvas& c, const Mask& m, int ox, int oy, F colourAtRow) {
    for (int y = 0; y < m.height; ++y) {
        if (oy + y < 0 || oy + y >= c.height) continue;
        const Colour colour = colourAtRow(y);
        for (int x = 0; x < m.width; ++x) {
            if (ox + x < 0 || ox + x >= c.width) continue;
            BlendOver(c.At(ox + x, oy + y), colour, m.At(x, y));
        }
    }
}

// Festive lettering: a gold face with a bevelled highlight, a dark red outline,
// a soft-edged drop shadow and snow lying on the tops of the letters.
void PaintFestiveText(Canvas& c, const Font& font, const std::string& text, float pixelHeight, float slant,
                      float centreX, float centreY, std::uint32_t seed) {
    float baseline = 0.0f;
    const int pad = 10;
    Mask plain = font.TextMask(text, pixelHeight, pixelHeight * 0.02f, pad, &baseline);
    const Mask face = Shear(plain, slant, baseline);
    const float outlineWidth = pixelHeight * 0.045f;
    const Mask outline = Dilate(face, outlineWidth);
    const int ox = static_cast<int>(std::lround(centreX - static_cast<float>(face.width) * 0.5f));
    const int oy = static_cast<int>(std::lround(centreY - static_cast<float>(face.height) * 0.5f));
    // Find the ink's rows, for the gradient.
    int top = face.height, bottom = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            if (face.At(x, y) > 0.5f) top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    const float inkHeight = static_cast<float>(std::max(1, bottom - top));
    const int drop = std::max(2, static_cast<int>(pixelHeight * 0.04f));
    FillMask(c, outline, ox + drop, oy + drop, Hex(0x02040C));
    FillMask(c, outline, ox, oy, kRedDark);
    FillMaskRows(c, face, ox, oy, [&](int y) {
        const float t = Clamp01((static_cast<float>(y - top)) / inkHeight);
        return t < 0.45f ? Mix(kGoldLight, kGold, t / 0.45f) : Mix(kGold, kGoldDark, (t - 0.45f) / 0.55f);
    });
    // Bevel: a light line just inside the upper-left edges of the face.
    const int bevel = std::max(1, static_cast<int>(pixelHeight * 0.025f));
    Mask highlight(face.width, face.height);
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            highlight.At(x, y) = face.At(x, y) * (1.0f - face.Get(x - bevel, y - bevel)) * 0.8f;
        }
    }
    FillMask(c, highlight, ox, oy, Hex(0xFFF6D0));
    // Snow: where the letter's top edge lies, a lumpy layer a little thicker
    // than the outline, spilling over it.
    Mask snow(face.width, face.height);
    for (int x = 0; x < face.width; ++x) {
        const float u = static_cast<float>(x) / static_cast<float>(face.width);
        const float depth = pixelHeight * (0.06f + 0.07f * Fbm(seed, u, 0.3f, 24, 3));
        const int d = std::max(2, static_cast<int>(depth));
        // Only the upper part of the letters: snow on the feet reads as spots.
        for (int y = 0; y < top + static_cast<int>(inkHeight * 0.45f); ++y) {
            const float inside = outline.At(x, y);
            if (inside <= 0.0f) continue;
            // Open sky within `d` rows above means this is the top of a stroke.
            const float above = outline.Get(x, y - d);
            snow.At(x, y) = inside * (1.0f - above);
        }
    }
    Blur(snow, 0.8f);
    for (float& s : snow.v) s = SmoothStep(0.3f, 0.6f, s);
    Mask snowShade = snow;
    for (int y = face.height - 1; y >= 0; --y) {
        for (int x = 0; x < face.width; ++x) snowShade.At(x, y) = snow.At(x, y) * (1.0f - snow.Get(x, y + 2));
    }
    Mask snowOutline = Dilate(snow, 1.0f);
    FillMask(c, snowOutline, ox, oy - 1, Shade(kSnowDeep, 0.7f));
    FillMask(c, snow, ox, oy - 1, kSnow);
    FillMask(c, snowShade, ox, oy - 1, kSnowShade);
}

// A crisp four-pointed twinkle of radius r.
void PaintTwinkle(Canvas& c, float x, float y, float r, const Colour& colour) {
    const float w = r * 0.22f;
    FillPolygon(c, {{x, y - r}, {x + w, y - w}, {x + r, y}, {x + w, y + w}, {x, y + r}, {x - w, y + w}, {x - r, y}, {x - w, y - w}},
                colour);
}

// A holly leaf from (x0, y0) to (x1, y1), spiky edged, with a pale vein at
// least `fine` pixels wide.
void PaintHollyLeaf(Canvas& c, float x0, float y0, float x1, float y1, float width, float fine) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float len = std::hypot(dx, dy);
    const float nx = -dy / len, ny = dx / len;
    std::vector<Point> leaf;
    const int spikes = 3;
    for (int side = 0; side < 2; ++side) {
        const float s = side == 0 ? 1.0f : -1.0f;
        for (int i = 0; i <= spikes * 2; ++i) {
            const int k = side == 0 ? i : spikes * 2 - i;
            const float t = static_cast<float>(k) / static_cast<float>(spikes * 2);
            const float bulge = std::sin(kPiF * t) * width * 0.5f * (k % 2 == 1 ? 1.0f : 0.7f);
            leaf.push_back({x0 + dx * t + nx * bulge * s, y0 + dy * t + ny * bulge * s});
        }
    }
    FillPolygon(c, leaf, Hex(0x1A5A30));
    std::vector<Point> lit;
    for (std::size_t i = 0; i <= static_cast<std::size_t>(spikes * 2); ++i) lit.push_back(leaf[i]);
    lit.push_back({x1, y1});
    FillPolygon(c, lit, Hex(0x2E8B3E));
    // A vein widened past one pixel to `fine` is made fainter in proportion,
    // so that it carries no more light than a one-pixel vein.
    const float vein = std::max(fine, width * 0.08f);
    const float faint = std::min(1.0f, std::max(1.0f, width * 0.08f) / vein);
    StrokeSegment(c, x0, y0, x0 + dx * 0.9f, y0 + dy * 0.9f, vein, Hex(0x9BC77A, faint));
}

// A berry of radius r with a highlight at least `fine` pixels across.
void PaintBerry(Canvas& c, float x, float y, float r, float fine) {
    FillDisc(c, x, y, r, Hex(0x8E0A1C));
    FillDisc(c, x - r * 0.15f, y - r * 0.15f, r * 0.8f, kRed);
    FillDisc(c, x - r * 0.35f, y - r * 0.4f, std::max(r * 0.3f, fine * 0.5f), Hex(0xFFD6DC));
}

// Three holly leaves fanned round (x, y) with a cluster of berries, `s` pixels
// long. Its finest details (veins, highlights) are at least `fine` pixels across:
// a picture shown at half size needs 2, or they flicker as it moves.
void PaintHollySprig(Canvas& c, float x, float y, float s, float turn, float fine = 1.0f) {
    for (int i = 0; i < 3; ++i) {
        const float a = turn + (static_cast<float>(i) - 1.0f) * 0.9f;
        PaintHollyLeaf(c, x, y, x + std::cos(a) * s, y + std::sin(a) * s, s * 0.42f, fine);
    }
    PaintBerry(c, x - s * 0.12f, y - s * 0.02f, s * 0.12f, fine);
    PaintBerry(c, x + s * 0.1f, y - s * 0.08f, s * 0.12f, fine);
    PaintBerry(c, x, y + s * 0.12f, s * 0.12f, fine);
}

void PaintBauble(Canvas& c, float x, float y, float r, const Colour& colour) {
    FillRoundBox(c, x - r * 0.3f, y - r - r * 0.35f, x + r * 0.3f, y - r * 0.8f, 1.0f, Hex(0xC9A55A));
    FillDisc(c, x, y, r, Shade(colour, 0.55f));
    FillDisc(c, x - r * 0.12f, y - r * 0.12f, r * 0.82f, colour, 1.5f);
    FillDisc(c, x - r * 0.38f, y - r * 0.38f, r * 0.25f, Hex(0xFFFFFF, 0.85f), 1.2f);
}

// ---------------------------------------------------------------- pictures

// 256 x 32: a red ribbon with swallow-tailed ends and "Merry Christmas" in cream.
Canvas PaintBanner(const Font& serif) {
    Canvas c(256, 32, {0, 0, 0, 0});
    const Colour red = kRed;
    // Tails behind the ends, folded and darker.
    FillPolygon(c, {{2, 8}, {26, 8}, {26, 28}, {2, 28}, {10, 18}}, kRedDark);
    FillPolygon(c, {{254, 8}, {230, 8}, {230, 28}, {254, 28}, {246, 18}}, kRedDark);
    FillPolygon(c, {{18, 26}, {26, 28}, {26, 24}}, Hex(0x4A0612));
    FillPolygon(c, {{238, 26}, {230, 28}, {230, 24}}, Hex(0x4A0612));
    // Body with a soft top-lit gradient and gold edging.
    for (int y = 3; y < 27; ++y) {
        const float t = (static_cast<float>(y) - 3.0f) / 24.0f;
        const Colour row = Mix(Shade(red, 1.2f), Shade(red, 0.75f), t);
        FillRoundBox(c, 18.0f, static_cast<float>(y), 238.0f, static_cast<float>(y + 1), 0.0f, row, 0.5f);
    }
    StrokeSegment(c, 19, 5, 237, 5, 1.2f, kGold);
    StrokeSegment(c, 19, 24.5f, 237, 24.5f, 1.2f, kGoldDark);
    // Lettering.
    float baseline = 0.0f;
    Mask text = serif.TextMask("Merry Christmas", 19.0f, 0.4f, 2, &baseline);
    const int ox = 128 - text.width / 2;
    const int oy = static_cast<int>(std::lround(19.5f - baseline));
    FillMask(c, text, ox + 1, oy + 1, Hex(0x3A0410));
    FillMask(c, text, ox, oy, Hex(0xF5F5F0));
    // Little holly at each end of the ribbon body.
    PaintHollySprig(c, 22, 13, 11, -2.5f);
    PaintHollySprig(c, 234, 13, 11, -0.65f);
    return c;
}

// The saver's name in snow-capped gold lettering, with twinkles and holly:
// 512 x 128 design units painted `k` pixels each.
Canvas PaintTitle(const Font& serif, int k) {
    const float unit = static_cast<float>(k);
    Canvas c(512 * k, 128 * k, {0, 0, 0, 0});
    PaintFestiveText(c, serif, "Frostvale", 100.0f * unit, 0.16f, 262.0f * unit, 66.0f * unit, 77);
    PaintHollySprig(c, 40 * unit, 98 * unit, 20 * unit, -2.6f);
    PaintHollySprig(c, 476 * unit, 30 * unit, 18 * unit, -0.4f);
    const Point twinkles[] = {{20, 24}, {96, 12}, {470, 104}, {498, 70}, {240, 10}, {400, 14}};
    const float sizes[] = {7, 5, 6, 8, 4, 5};
    for (int i = 0; i < 6; ++i) {
        const float x = twinkles[i].x * unit, y = twinkles[i].y * unit;
        PaintTwinkle(c, x, y, (sizes[i] + 2.0f) * unit, Hex(0x02040C));
        PaintTwinkle(c, x, y, sizes[i] * unit, i % 2 == 0 ? kGoldLight : kSnow);
    }
    return c;
}

// Paints in design units, `k` pixels each, so that a picture can be painted
// at any resolution from one set of coordinates. Edge softness of a pixel or
// less stays that many pixels (a crisp anti-aliased edge); wider softness is
// part of the design and scales.
struct Brush {
    Canvas& c;
    float k;

    float Soft(float s) const { return s <= 1.0f ? s : s * k; }
    void Disc(float x, float y, float r, const Colour& colour, float softness = 1.0f) const {
        FillDisc(c, x * k, y * k, r * k, colour, Soft(softness));
    }
    void Box(float x0, float y0, float x1, float y1, float radius, const Colour& colour, float softness = 1.0f) const {
        FillRoundBox(c, x0 * k, y0 * k, x1 * k, y1 * k, radius * k, colour, Soft(softness));
    }
    void Polygon(std::vector<Point> poly, const Colour& colour, float softness = 1.0f) const {
        for (Point& p : poly) p = {p.x * k, p.y * k};
        FillPolygon(c, poly, colour, Soft(softness));
    }
    void Segment(float ax, float ay, float bx, float by, float width, const Colour& colour, float softness = 1.0f) const {
        StrokeSegment(c, ax * k, ay * k, bx * k, by * k, width * k, colour, Soft(softness));
    }
    void Glow(float x, float y, float radius, const Colour& colour, float power = 2.0f) const {
        AddGlow(c, x * k, y * k, radius * k, colour, power);
    }
};

// A snow-roofed house with lit windows, standing on `ground`. `left`..`left + w`
// is the wall; the roof rises `roofH` above the eaves at `ground - h`.
struct HouseLook {
    Colour wall;
    Colour roof;
    int windows;
    bool chimney;
    bool smoke;
};

void PaintHouse(const Brush& b, const Brush& glow, float left, float ground, float w, float h, float roofH, const HouseLook& look,
                Rng& rng) {
    const float eaves = ground - h;
    const float mid = left + w * 0.5f;
    // Chimney first, so the roof's snow overlaps its foot.
    if (look.chimney) {
        const float cx = left + w * 0.72f;
        const float top = eaves - roofH * 0.85f;
        b.Box(cx - 4, top, cx + 4, eaves - roofH * 0.3f, 0.5f, Shade(Hex(0x8F3B2E), 0.7f));
        b.Box(cx - 5, top - 3, cx + 5, top + 1, 1.5f, kSnow);
        if (look.smoke) {
            for (int i = 0; i < 5; ++i) {
                const float t = static_cast<float>(i);
                b.Disc(cx + t * 3.0f + rng.Range(-1, 1), top - 8 - t * 8, 3.0f + t * 1.4f,
                         Hex(0x9AA8C4, 0.35f - t * 0.05f), 3.0f);
            }
        }
    }
    // Wall: darker towards the ground, a little texture.
    for (int y = static_cast<int>(eaves); y < static_cast<int>(ground); ++y) {
        const float t = (static_cast<float>(y) - eaves) / h;
        b.Box(left, static_cast<float>(y), left + w, static_cast<float>(y + 1), 0, Shade(look.wall, 0.75f - 0.3f * t),
                     0.5f);
    }
    // Roof and its snow blanket with a soft overhang.
    const float over = w * 0.1f;
    b.Polygon({{left - over, eaves + 1}, {mid, eaves - roofH}, {left + w + over, eaves + 1}}, look.roof);
    const float snowDepth = 5.0f;
    b.Polygon({{left - over - 2, eaves - 1}, {mid, eaves - roofH - snowDepth}, {left + w + over + 2, eaves - 1},
                    {left + w + over, eaves + 2}, {mid, eaves - roofH + 1}, {left - over, eaves + 2}},
                kSnow);
    for (float x = left - over; x <= left + w + over; x += 5.0f) {
        b.Disc(x + rng.Range(-1, 1), eaves + 1.5f, rng.Range(1.8f, 3.0f), kSnowShade);
    }
    // Windows and door with warm light spilling out.
    const float winW = std::min(10.0f, w / (static_cast<float>(look.windows) * 2.0f + 1.0f) * 1.3f);
    const float winH = std::min(12.0f, h * 0.4f);
    const float gapW = (w - winW * static_cast<float>(look.windows)) / static_cast<float>(look.windows + 1);
    for (int i = 0; i < look.windows; ++i) {
        const float x0 = left + gapW + (gapW + winW) * static_cast<float>(i);
        const float y0 = eaves + h * 0.22f;
        b.Box(x0 - 1, y0 - 1, x0 + winW + 1, y0 + winH + 1, 0.5f, Hex(0x2A1A10));
        b.Box(x0, y0, x0 + winW, y0 + winH, 0.5f, kWindow);
        b.Disc(x0 + winW * 0.5f, y0 + winH * 0.5f, winW * 0.35f, kWindowCentre, 2.0f);
        b.Segment(x0 + winW * 0.5f, y0, x0 + winW * 0.5f, y0 + winH, 1.0f, Hex(0x5A3A20));
        b.Segment(x0, y0 + winH * 0.5f, x0 + winW, y0 + winH * 0.5f, 1.0f, Hex(0x5A3A20));
        b.Box(x0 - 1.5f, y0 + winH, x0 + winW + 1.5f, y0 + winH + 2, 1.0f, kSnow);
        glow.Glow(x0 + winW * 0.5f, y0 + winH * 0.5f, winW * 2.2f, Hex(0xFFB84A, 0.35f), 2.0f);
    }
    if (w > 50) {
        const float dx = mid - 5;
        b.Box(dx, ground - h * 0.5f, dx + 10, ground, 2.0f, Hex(0x4A2C18));
        b.Disc(dx + 7.5f, ground - h * 0.25f, 0.9f, kGold);
        glow.Glow(mid, ground - 2, 16, Hex(0xFFB84A, 0.25f), 2.0f);
    }
    // A drift along the foot of the wall.
    for (float x = left - 3; x <= left + w + 3; x += 4.0f) b.Disc(x, ground + 1, rng.Range(2.5f, 4.5f), kSnowShade);
}

// A reindeer seen from the side, galloping to the left, nose at (x, y); s = body length.
void PaintReindeerSilhouette(const Brush& b, float x, float y, float s, float stride, const Colour& ink) {
    const float bx = x + s * 0.75f, by = y + s * 0.25f;
    b.Box(bx - s * 0.45f, by - s * 0.15f, bx + s * 0.45f, by + s * 0.15f, s * 0.15f, ink, 0.8f);
    b.Segment(bx - s * 0.35f, by - s * 0.05f, x + s * 0.12f, y, s * 0.12f, ink, 0.8f);   // neck
    b.Segment(x + s * 0.12f, y, x - s * 0.05f, y + s * 0.05f, s * 0.1f, ink, 0.8f);      // head
    b.Segment(x + s * 0.15f, y - s * 0.02f, x + s * 0.25f, y - s * 0.3f, 0.9f, ink, 0.8f);  // antlers
    b.Segment(x + s * 0.2f, y - s * 0.15f, x + s * 0.05f, y - s * 0.28f, 0.9f, ink, 0.8f);
    const float legs[4][2] = {{-0.35f, -stride}, {-0.25f, stride}, {0.3f, stride}, {0.4f, -stride}};
    for (const auto& leg : legs) {
        const float lx = bx + leg[0] * s;
        b.Segment(lx, by + s * 0.1f, lx + leg[1] * s * 0.3f, by + s * 0.45f, 1.0f, ink, 0.8f);
    }
}

// Santa's sleigh and a team of four crossing the moon, heading left and a little up.
void PaintSleighSilhouette(const Brush& b, float x, float y, const Colour& ink) {
    // Sleigh: a curled runner under a high-backed body.
    b.Polygon({{x, y - 5}, {x + 12, y - 9}, {x + 14, y - 1}, {x + 2, y + 1}}, ink, 0.8f);
    b.Segment(x - 3, y + 3, x + 13, y + 3, 1.0f, ink, 0.8f);
    b.Segment(x - 3, y + 3, x - 5, y + 0.5f, 1.0f, ink, 0.8f);
    b.Disc(x + 6, y - 10, 2.4f, ink, 0.8f);  // Santa
    b.Disc(x + 10, y - 10, 3.0f, ink, 0.8f); // the sack
    for (int i = 0; i < 2; ++i) {
        const float rx = x - 16.0f - 13.0f * static_cast<float>(i);
        const float ry = y - 6.0f - 3.0f * static_cast<float>(i);
        PaintReindeerSilhouette(b, rx, ry, 11.0f, i % 2 == 0 ? 0.6f : -0.6f, ink);
    }
    b.Segment(x, y - 4, x - 10, y - 2, 0.6f, ink, 0.8f);  // reins
}

// A fir of height h with its foot at (x, ground): stacked tiers with snow on each.
void PaintFir(const Brush& b, float x, float ground, float h, const Colour& green, const Colour& snow) {
    b.Box(x - h * 0.04f, ground - h * 0.15f, x + h * 0.04f, ground, 0.5f, Hex(0x3A2618));
    const int tiers = 3;
    for (int i = 0; i < tiers; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(tiers);
        const float bottom = ground - h * (0.1f + 0.27f * t);
        const float top = bottom - h * (0.5f - 0.08f * t);
        const float half = h * (0.32f - 0.08f * t);
        b.Polygon({{x, top}, {x + half, bottom}, {x - half, bottom}}, green);
        b.Polygon({{x, top}, {x + half * 0.45f, top + (bottom - top) * 0.45f}, {x + half * 0.2f, top + (bottom - top) * 0.38f},
                        {x, top + (bottom - top) * 0.5f}, {x - half * 0.25f, top + (bottom - top) * 0.4f},
                        {x - half * 0.45f, top + (bottom - top) * 0.45f}},
                    snow);
        b.Segment(x - half, bottom, x + half, bottom, std::max(1.5f, h * 0.035f), snow);
    }
}

// A snowy village at night under a big moon, framed in gold with rounded
// corners (keyed out): 512 x 256 design units painted `k` pixels each.
Canvas PaintVillage(int k) {
    const int width = 512, height = 256;  // design units
    const int pixelsWide = width * k, pixelsHigh = height * k;
    const float unit = static_cast<float>(k);
    Canvas c(pixelsWide, pixelsHigh, {0, 0, 0, 1});
    const Brush b{c, unit};
    VerticalGradient(c, 0, 170 * unit, Hex(0x050B1E), Hex(0x22386A));
    Rng rng(2024);
    // Stars and moon, as light over the sky.
    Canvas sky(pixelsWide, pixelsHigh, {0, 0, 0, 0});
    const Brush glow{sky, unit};
    for (int i = 0; i < 90; ++i) {
        const float x = rng.Range(0, static_cast<float>(width));
        const float y = rng.Range(0, 150);
        const float bright = rng.Range(0.25f, 1.0f);
        glow.Glow(x, y, rng.Range(1.5f, 3.0f), Hex(0xDDE6FF, bright), 1.5f);
    }
    glow.Glow(404, 52, 90, Hex(0x6F86C0, 0.45f), 3.0f);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const Colour& g = sky.px[i];
        c.px[i] = {c.px[i].r + g.r, c.px[i].g + g.g, c.px[i].b + g.b, 1};
    }
    b.Disc(404, 52, 24, Hex(0xFFF6E2));
    b.Disc(396, 46, 5, Hex(0xE6E0D0), 3.0f);
    b.Disc(412, 60, 4, Hex(0xE6E0D0), 3.0f);
    b.Disc(410, 42, 2.5f, Hex(0xE6E0D0), 2.0f);
    PaintSleighSilhouette(b, 414, 58, Hex(0x0A1330));
    // Far hills in moonlight, then nearer ones with a line of firs.
    auto hillEdge = [&](float base, float amp, std::uint32_t seed, float x) {
        return base - amp * Fbm(seed, x / static_cast<float>(width), 0.5f, 3, 3);
    };
    auto hills = [&](float base, float amp, std::uint32_t seed, const Colour& top, const Colour& bottom) {
        for (int x = 0; x < pixelsWide; ++x) {
            const float edge = hillEdge(base, amp, seed, (static_cast<float>(x) + 0.5f) / unit) * unit;  // pixels
            for (int y = std::max(0, static_cast<int>(edge) - 1); y < pixelsHigh; ++y) {
                const float cover = Coverage(edge - (static_cast<float>(y) + 0.5f));
                BlendOver(c.At(x, y), Mix(top, bottom, Clamp01((static_cast<float>(y) - edge) / (40.0f * unit))), cover);
            }
        }
    };
    hills(160, 50, 5, Hex(0x5C6F9C), Hex(0x3B4C78));
    hills(190, 26, 9, Hex(0x9DB1D6), Hex(0x6F86B4));
    // A dark wood along the ridge of the nearer hills.
    for (int i = 0; i < 40; ++i) {
        const float x = rng.Range(0, static_cast<float>(width));
        PaintFir(b, x, hillEdge(190, 26, 9, x) + rng.Range(4, 9), rng.Range(12, 22), Hex(0x1C3A44), Hex(0xA9BCDF));
    }
    // The village: a row of houses with a church in the middle.
    const HouseLook looks[] = {
        {Hex(0x8F3B2E), Hex(0x3A2A2A), 2, true, true},  {Hex(0xE6D8C0), Hex(0x4A3024), 2, true, false},
        {Hex(0x6C7A89), Hex(0x2E3440), 3, true, true},  {Hex(0x7B5637), Hex(0x3A2418), 1, false, false},
        {Hex(0x3F6B4F), Hex(0x2A2A30), 2, true, true},  {Hex(0x8F3B2E), Hex(0x3A2A2A), 2, true, false},
    };
    const float lefts[] = {22, 96, 300, 360, 420, 470};
    const float widths[] = {58, 50, 52, 40, 44, 36};
    const float heights[] = {34, 30, 36, 26, 30, 26};
    // Church: a stone tower with a snowy spire behind a long nave.
    {
        const float x = 234, ground = 214;
        const Colour stone = Shade(Hex(0x6C7A89), 0.7f);
        b.Box(x - 9, ground - 96, x + 9, ground - 30, 0, stone);
        b.Polygon({{x, ground - 138}, {x + 11, ground - 94}, {x - 11, ground - 94}}, Hex(0x2E3440));
        b.Polygon({{x, ground - 140}, {x + 5, ground - 120}, {x + 1, ground - 116}, {x - 3, ground - 121}, {x - 5, ground - 120}},
                    kSnow);
        b.Box(x - 12, ground - 97, x + 12, ground - 92, 1.5f, kSnow);
        b.Box(x - 4, ground - 86, x + 4, ground - 72, 4.0f, kWindow);
        b.Disc(x, ground - 80, 2.5f, kWindowCentre, 2.0f);
        b.Glow(x, ground - 79, 16, Hex(0xFFB84A, 0.3f));
        b.Segment(x, ground - 150, x, ground - 138, 1.3f, kGold);
        b.Segment(x - 4, ground - 146, x + 4, ground - 146, 1.3f, kGold);
    }
    Canvas lampLight(pixelsWide, pixelsHigh, {0, 0, 0, 0});
    const Brush lamps{lampLight, unit};
    PaintHouse(b, lamps, 190, 214, 70, 40, 30, {Hex(0x6C7A89), Hex(0x2E3440), 3, false, false}, rng);
    for (int i = 0; i < 6; ++i) {
        PaintHouse(b, lamps, lefts[i], 214 + static_cast<float>(i % 2) * 4.0f, widths[i], heights[i], heights[i] * 0.7f,
                   looks[i], rng);
    }
    // Foreground snow with soft mounds, a trodden path and two street lamps.
    for (int x = 0; x < pixelsWide; ++x) {
        const float u = static_cast<float>(x) / static_cast<float>(pixelsWide);
        const float edge = (224 - 8 * Fbm(13, u, 0.2f, 4, 3)) * unit;  // pixels
        for (int y = static_cast<int>(edge) - 1; y < pixelsHigh; ++y) {
            const float v = static_cast<float>(y) / static_cast<float>(pixelsHigh);
            const float t = Clamp01((static_cast<float>(y) - edge) / (30.0f * unit));
            const float mound = Fbm(17, u, v, 6, 3);
            Colour snow = Mix(kSnow, kSnowShade, Clamp01(0.15f + 0.4f * t + 0.9f * (mound - 0.5f)));
            const float path =
                std::fabs(static_cast<float>(x) / unit - (256.0f + 60.0f * std::sin(v * 9.0f))) - (6.0f + 30.0f * t);
            snow = Mix(snow, Mix(kSnowShade, kSnowDeep, 0.3f), 0.5f * Coverage(path, 6.0f));
            BlendOver(c.At(x, y), snow, Coverage(edge - (static_cast<float>(y) + 0.5f)));
        }
    }
    for (float lx : {150.0f, 352.0f}) {
        b.Box(lx - 1.2f, 196, lx + 1.2f, 232, 0.5f, Hex(0x1A1E2A));
        b.Box(lx - 4, 190, lx + 4, 198, 1.5f, Hex(0x1A1E2A));
        b.Box(lx - 2.8f, 191.5f, lx + 2.8f, 197, 1.0f, kWindowCentre);
        b.Box(lx - 5, 188, lx + 5, 190.5f, 1.0f, kSnow);
        lamps.Glow(lx, 194, 26, Hex(0xFFB84A, 0.35f), 2.0f);
        lamps.Glow(lx, 234, 22, Hex(0xFFC86A, 0.25f), 2.0f);
    }
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const Colour& g = lampLight.px[i];
        c.px[i] = {c.px[i].r + g.r, c.px[i].g + g.g, c.px[i].b + g.b, 1};
    }
    PaintFir(b, 14, 252, 70, kFirDark, kSnow);
    PaintFir(b, 40, 256, 50, kFir, kSnow);
    PaintFir(b, 492, 254, 66, kFirDark, kSnow);
    PaintFir(b, 464, 258, 44, kFir, kSnow);
    // Falling snow.
    for (int i = 0; i < 160; ++i) {
        const float x = rng.Range(0, static_cast<float>(width));
        const float y = rng.Range(0, static_cast<float>(height));
        const float r = rng.Range(0.6f, 1.8f);
        b.Disc(x, y, r, Hex(0xFFFFFF, rng.Range(0.5f, 0.95f)), 1.2f);
    }
    // Gold frame with rounded corners; outside it is keyed out. The cut keeps
    // one pixel of margin at any scale, so the card fills its quad.
    Canvas framed(pixelsWide, pixelsHigh, {0, 0, 0, 0});
    for (int y = 0; y < pixelsHigh; ++y) {
        for (int x = 0; x < pixelsWide; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float d = SdRoundBox(px, py, 1, 1, static_cast<float>(pixelsWide) - 1, static_cast<float>(pixelsHigh) - 1,
                                       16 * unit);
            Colour p = c.At(x, y);
            if (d > -3.0f * unit) p = Mix(kGoldDark, kGoldLight, Clamp01(0.5f - py / static_cast<float>(pixelsHigh) + 0.5f));
            if (d > -1.0f * unit) p = kGoldDark;
            p.a = Coverage(d);
            framed.At(x, y) = p;
        }
    }
    return framed;
}

// 1024 x 64: a fir garland swagged between red bows, with holly, baubles and lights.
Canvas PaintGarlandStrip() {
    const int width = 1024, height = 64;
    Canvas c(width, height, {0, 0, 0, 0});
    Rng rng(31);
    const float hangs[] = {128, 384, 640, 896};
    auto swagY = [&](float x) {
        const float local = std::fmod(x + 128.0f, 256.0f) / 256.0f;  // 0 at a hang point
        return 12.0f + 26.0f * std::sin(kPiF * local);
    };
    // The banner shows this strip at half size with no mipmaps, so detail one
    // pixel across would flicker as the banner slides: highlights, strings and
    // veins are painted two pixels or more across, and the needles softened.
    //
    // Garland body: many short needle strokes around the swag line.
    for (int i = 0; i < 6500; ++i) {
        const float x = rng.Range(-4, static_cast<float>(width) + 4);
        const float y = swagY(x) + rng.Range(-7, 7);
        const float a = rng.Range(0, 2 * kPiF);
        const float len = rng.Range(5, 9);
        const Colour tone = rng.Uniform() < 0.5f ? Shade(kFir, rng.Range(0.8f, 1.4f)) : Shade(kFirDark, rng.Range(0.8f, 1.1f));
        StrokeSegment(c, x, y, x + std::cos(a) * len, y + std::sin(a) * len * 0.7f, 1.6f, tone);
    }
    Blur(c, 0.7f);
    // A little snow on top of the garland.
    for (float x = 0; x < static_cast<float>(width); x += 6.0f) {
        if (rng.Uniform() < 0.35f) {
            const float y = swagY(x) - 7.0f + rng.Range(-1, 1);
            const float w = rng.Range(3.0f, 6.0f);
            FillRoundBox(c, x - w, y - 1.5f, x + w, y + 2.5f, 2.0f, kSnowShade);
            FillRoundBox(c, x - w + 0.5f, y - 2.0f, x + w - 0.5f, y + 1.5f, 1.8f, kSnow);
        }
    }
    // Warm lights along the garland.
    for (float x = 14; x < static_cast<float>(width); x += 28.0f) {
        const float y = swagY(x) + 3.0f;
        const Colour bulb = (static_cast<int>(x) / 28) % 3 == 0 ? Hex(0xFF6A5A) : ((static_cast<int>(x) / 28) % 3 == 1 ? kWindow : Hex(0x9FD4FF));
        FillDisc(c, x, y, 3.2f, Shade(bulb, 0.7f));
        FillDisc(c, x - 0.5f, y - 0.5f, 2.2f, bulb);
        FillDisc(c, x - 0.8f, y - 0.8f, 1.3f, Hex(0xFFFFFF));
    }
    // Baubles hanging at the low points.
    const Colour baubles[] = {kRed, kGold, Hex(0x2F5FB3), kRed};
    for (int i = 1; i < 4; ++i) {
        const float x = 256.0f * static_cast<float>(i);
        const float y = swagY(x);
        StrokeSegment(c, x, y, x, y + 8, 2.0f, kGold);
        PaintBauble(c, x, y + 16, 8.5f, baubles[i]);
    }
    // Red bows with holly where the garland is hung.
    for (float hx : hangs) {
        PaintHollySprig(c, hx - 12, 18, 20, kPiF * 0.8f, 2.0f);
        PaintHollySprig(c, hx + 12, 18, 20, kPiF * 0.2f, 2.0f);
        FillPolygon(c, {{hx, 12}, {hx - 18, 2}, {hx - 20, 16}}, kRed);
        FillPolygon(c, {{hx, 12}, {hx + 18, 2}, {hx + 20, 16}}, kRed);
        FillPolygon(c, {{hx, 12}, {hx - 9, 34}, {hx - 4, 33}, {hx - 2, 28}}, kRedDark);
        FillPolygon(c, {{hx, 12}, {hx + 9, 34}, {hx + 4, 33}, {hx + 2, 28}}, kRedDark);
        FillPolygon(c, {{hx, 12}, {hx - 14, 5}, {hx - 15, 13}}, Shade(kRed, 1.2f));
        FillPolygon(c, {{hx, 12}, {hx + 14, 5}, {hx + 15, 13}}, Shade(kRed, 1.2f));
        FillDisc(c, hx, 12, 4.5f, kRedDark);
        FillDisc(c, hx, 11.5f, 3.5f, kRed);
        FillDisc(c, hx - 1, 10.5f, 1.5f, Hex(0xFF8A8A));
    }
    return c;
}

// A six-armed snowflake of radius r as light.
void AddSnowflake(Canvas& c, float x, float y, float r, float turn, const Colour& light) {
    Canvas flake(c.width, c.height, {0, 0, 0, 0});
    for (int arm = 0; arm < 6; ++arm) {
        const float a = turn + static_cast<float>(arm) * kPiF / 3.0f;
        const float ex = x + std::cos(a) * r, ey = y + std::sin(a) * r;
        StrokeSegment(flake, x, y, ex, ey, r * 0.1f + 0.6f, light);
        for (int k = 1; k <= 2; ++k) {
            const float t = 0.4f + 0.25f * static_cast<float>(k);
            const float bx = x + std::cos(a) * r * t, by = y + std::sin(a) * r * t;
            const float len = r * (0.42f - 0.12f * static_cast<float>(k));
            for (int s = -1; s <= 1; s += 2) {
                const float b = a + static_cast<float>(s) * 0.8f;
                StrokeSegment(flake, bx, by, bx + std::cos(b) * len, by + std::sin(b) * len, r * 0.07f + 0.6f, light);
            }
        }
    }
    FillDisc(flake, x, y, r * 0.16f, light);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const Colour& f = flake.px[i];
        c.px[i].r += f.r * f.a;
        c.px[i].g += f.g * f.a;
        c.px[i].b += f.b * f.a;
    }
}

// A five-pointed star of radius r as light.
void AddStar(Canvas& c, float x, float y, float r, const Colour& light) {
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPiF * 0.5f + static_cast<float>(i) * kPiF / 5.0f;
        const float rr = i % 2 == 0 ? r : r * 0.45f;
        star.push_back({x + std::cos(a) * rr, y + std::sin(a) * rr});
    }
    Canvas shape(c.width, c.height, {0, 0, 0, 0});
    FillPolygon(shape, star, light);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const Colour& f = shape.px[i];
        c.px[i].r += f.r * f.a;
        c.px[i].g += f.g * f.a;
        c.px[i].b += f.b * f.a;
    }
}

// 1024 x 64, as light: snowflakes and gold stars on a string of tiny lights, with a soft bloom.
Canvas PaintStarStrip() {
    const int width = 1024, height = 64;
    Canvas c(width, height, {0, 0, 0, 1});
    Rng rng(47);
    for (int i = 0; i < 8; ++i) {
        const float x = 64.0f + 128.0f * static_cast<float>(i);
        if (i % 2 == 0) {
            AddSnowflake(c, x, 32, 22, rng.Range(0, 1), Hex(0xDCE8FF));
        } else {
            AddStar(c, x, 33, 22, Hex(0xFFD66E));
        }
    }
    for (int i = 0; i < 120; ++i) {
        const float x = rng.Range(0, static_cast<float>(width));
        const float y = rng.Range(6, 58);
        // Dots at least two texels across even where the banner halves the
        // strip: a one-texel dot would twinkle on and off as it slides.
        AddGlow(c, x, y, rng.Range(3.0f, 5.0f), Hex(0xFFFFFF, rng.Range(0.3f, 0.9f)), 1.5f);
    }
    for (int i = 0; i < 8; ++i) {
        const float x = 128.0f * static_cast<float>(i);
        AddGlow(c, x, 32, 6, Hex(0xFFE9B0, 0.8f), 2.0f);
    }
    Canvas bloom = c;
    Blur(bloom, 5.0f);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        c.px[i].r += bloom.px[i].r * 0.6f;
        c.px[i].g += bloom.px[i].g * 0.6f;
        c.px[i].b += bloom.px[i].b * 0.6f;
    }
    // Fade to nothing at the top and bottom edges, so the strip has no hard border.
    for (int y = 0; y < height; ++y) {
        const float edge = std::min(static_cast<float>(y) + 0.5f, static_cast<float>(height - y) - 0.5f);
        const float k = SmoothStep(0.0f, 8.0f, edge);
        for (int x = 0; x < width; ++x) c.At(x, y) = Shade(c.At(x, y), k);
    }
    return c;
}
}  // namespace

Canvas BuildFontAtlas(const char* fontPath) {
    const Font font(fontPath);
    const int cell = kFontCell;
    Mask ink(16 * cell, 8 * cell);
    // Size the font so that ascenders ('d') to descenders ('g') span the cell
    // less its border and the outline, and put every baseline on the same row.
    const float edge = kFontEdge;
    const float probe = font.ScaleFor(static_cast<float>(cell));
    int d[4], g[4];
    font.GlyphBox('d', probe, probe, d);
    font.GlyphBox('g', probe, probe, g);
    const float scale = probe * (static_cast<float>(cell) - 3.0f - 2.0f * edge) / static_cast<float>(g[3] - d[1]);
    const float baseline = 1.5f + edge - static_cast<float>(d[1]) * scale / probe;
    // The text drawing sets every character on the same fixed pitch, so the
    // glyphs are widened until a typical letter's own advance, outline
    // included, matches it; otherwise the text reads as letter-spaced.
    const float pitch = static_cast<float>(cell) * kFontPitch - 2.0f * edge;
    const float widen = std::max(1.0f, pitch / font.Advance('n', scale));
    const float maxWidth = pitch - 1.0f;
    for (int code = 33; code < 127; ++code) {
        const int index = code - 32;
        const float cellX = static_cast<float>((index % 16) * cell);
        const float cellY = static_cast<float>((index / 16) * cell);
        float sx = scale * widen, sy = scale;
        int box[4];
        if (!font.GlyphBox(code, sx, sy, box)) continue;
        // Shrink the few glyphs that reach past the border above or below,
        // then squeeze the wide ones into the pitch less a pixel of air.
        const float fit =
            std::min({1.0f, (baseline - 1.0f - edge) / std::max(1.0f, -static_cast<float>(box[1])),
                      (static_cast<float>(cell) - 1.0f - edge - baseline) / std::max(1.0f, static_cast<float>(box[3]))});
        sx *= fit, sy *= fit;
        font.GlyphBox(code, sx, sy, box);
        const float w = static_cast<float>(box[2] - box[0]);
        if (w > maxWidth) {
            sx *= maxWidth / w;
            font.GlyphBox(code, sx, sy, box);
        }
        const float penX = cellX + static_cast<float>(cell) * 0.5f - static_cast<float>(box[0] + box[2]) * 0.5f;
        Mask glyph(cell, cell);
        font.DrawGlyph(glyph, code, sx, sy, penX - cellX, baseline);
        // Only the cell's own area, its border kept clear, goes into the atlas.
        for (int y = 1; y < cell - 1; ++y) {
            for (int x = 1; x < cell - 1; ++x) {
                ink.At(static_cast<int>(cellX) + x, static_cast<int>(cellY) + y) = glyph.At(x, y);
            }
        }
    }
    // The outline is the ink grown by `edge`; each cell's ink keeps `edge` plus
    // the border away from the cell's sides, so no outline reaches a neighbour.
    // Faint anti-aliased ink counts as ink here, or a lone grey pixel at a tip
    // would be left without a dark edge and vanish on snow.
    Mask strong = ink;
    for (float& v : strong.v) v = std::min(1.0f, v * 3.0f);
    const Mask outline = Dilate(strong, edge);
    Canvas atlas(ink.width, ink.height, {0, 0, 0, 0});
    for (std::size_t i = 0; i < ink.v.size(); ++i) {
        atlas.px[i] = {kFontOutline.r, kFontOutline.g, kFontOutline.b, outline.v[i]};
        BlendOver(atlas.px[i], {1, 1, 1, 1}, ink.v[i]);
    }
    return atlas;
}

std::vector<Lump> BuildOverlayTextures() {
    const Font serif(kFontSerifBold);
    std::vector<Lump> lumps;
    // Keyed rather than by brightness, which would make the dark outline transparent.
    lumps.push_back(ImageLump(BuildFontAtlas(kFontSansMonoBold), AlphaMode::ColourKey, {0, 0, 0, 1}));
    lumps.push_back(ImageLump(PaintBanner(serif), AlphaMode::ColourKey, kKey));
    // The intro's pictures are drawn about 960 pixels wide on a 1080p view, so
    // they are painted at twice their design size to stay sharp there.
    lumps.push_back(ImageLump(PaintTitle(serif, kIntroScale), AlphaMode::ColourKey, kKey));
    lumps.push_back(ImageLump(PaintVillage(kIntroScale), AlphaMode::ColourKey, kKey));
    lumps.push_back(ImageLump(PaintGarlandStrip(), AlphaMode::ColourKey, kKey));
    lumps.push_back(ImageLump(LightToBrightnessAlpha(PaintStarStrip()), AlphaMode::Brightness));
    return lumps;
}
