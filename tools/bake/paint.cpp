#include "tools/bake/paint.h"

#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

Colour Hex(std::uint32_t rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 0xff) / 255.0f, static_cast<float>((rgb >> 8) & 0xff) / 255.0f,
            static_cast<float>(rgb & 0xff) / 255.0f, alpha};
}

Colour Mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour Shade(const Colour& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

float Clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

float SmoothStep(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

std::uint32_t Rng::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }

float Rng::Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }

int Rng::Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

namespace {
std::uint32_t Hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Lattice(std::uint32_t seed, int x, int y) {
    const std::uint32_t h = Hash(seed ^ Hash(static_cast<std::uint32_t>(x) * 0x8da6b343U ^ Hash(static_cast<std::uint32_t>(y))));
    return static_cast<float>(h >> 8) * (1.0f / 16777215.0f);
}

int Wrap(int i, int n) {
    const int m = i % n;
    return m < 0 ? m + n : m;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }
}  // namespace

float ValueNoise(std::uint32_t seed, float u, float v, int period) {
    const float x = u * static_cast<float>(period);
    const float y = v * static_cast<float>(period);
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = Wrap(static_cast<int>(fx), period);
    const int y0 = Wrap(static_cast<int>(fy), period);
    const int x1 = Wrap(x0 + 1, period);
    const int y1 = Wrap(y0 + 1, period);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float top = Lattice(seed, x0, y0) + (Lattice(seed, x1, y0) - Lattice(seed, x0, y0)) * tx;
    const float bottom = Lattice(seed, x0, y1) + (Lattice(seed, x1, y1) - Lattice(seed, x0, y1)) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(std::uint32_t seed, float u, float v, int period, int octaves, float gain) {
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * ValueNoise(seed + static_cast<std::uint32_t>(o) * 1013u, u, v, period << o);
        total += weight;
        weight *= gain;
    }
    return sum / total;
}

void BlendOver(Colour& dst, const Colour& src, float coverage) {
    const float a = Clamp01(src.a * coverage);
    if (a <= 0.0f) return;
    const float outA = a + dst.a * (1.0f - a);
    if (outA <= 0.0f) return;
    const float keep = dst.a * (1.0f - a);
    dst.r = (src.r * a + dst.r * keep) / outA;
    dst.g = (src.g * a + dst.g * keep) / outA;
    dst.b = (src.b * a + dst.b * keep) / outA;
    dst.a = outA;
}

float SdCircle(float px, float py, float cx, float cy, float r) { return std::hypot(px - cx, py - cy) - r; }

float SdRoundBox(float px, float py, float x0, float y0, float x1, float y1, float radius) {
    const float hx = (x1 - x0) * 0.5f - radius;
    const float hy = (y1 - y0) * 0.5f - radius;
    const float dx = std::fabs(px - (x0 + x1) * 0.5f) - hx;
    const float dy = std::fabs(py - (y0 + y1) * 0.5f) - hy;
    const float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
}

float SdSegment(float px, float py, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay;
    const float wx = px - ax, wy = py - ay;
    const float len2 = vx * vx + vy * vy;
    const float t = len2 > 0.0f ? Clamp01((wx * vx + wy * vy) / len2) : 0.0f;
    return std::hypot(wx - vx * t, wy - vy * t);
}

float SdPolygon(float px, float py, const std::vector<Point>& poly) {
    if (poly.size() < 3) return 1e9f;
    float best = 1e30f;
    bool inside = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point& a = poly[j];
        const Point& b = poly[i];
        best = std::min(best, SdSegment(px, py, a.x, a.y, b.x, b.y));
        if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside ? -best : best;
}

float Coverage(float distance, float softness) { return Clamp01(0.5f - distance / std::max(softness, 1e-3f)); }

namespace {
// Calls paint(x, y, px, py) for every pixel whose centre lies in the box, clipped to the canvas.
template <typename F>
void ForBox(int width, int height, float x0, float y0, float x1, float y1, F paint) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int ix1 = std::min(width, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(height, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) paint(x, y, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
    }
}
}  // namespace

void FillDisc(Canvas& c, float cx, float cy, float r, const Colour& colour, float softness) {
    const float m = r + softness + 1.0f;
    ForBox(c.width, c.height, cx - m, cy - m, cx + m, cy + m, [&](int x, int y, float px, float py) {
        BlendOver(c.At(x, y), colour, Coverage(SdCircle(px, py, cx, cy, r), softness));
    });
}

void FillRing(Canvas& c, float cx, float cy, float r, float thickness, const Colour& colour, float softness) {
    const float m = r + thickness + softness + 1.0f;
    ForBox(c.width, c.height, cx - m, cy - m, cx + m, cy + m, [&](int x, int y, float px, float py) {
        const float d = std::fabs(SdCircle(px, py, cx, cy, r)) - thickness * 0.5f;
        BlendOver(c.At(x, y), colour, Coverage(d, softness));
    });
}

void FillRoundBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Colour& colour,
                  float softness) {
    const float m = softness + 1.0f;
    ForBox(c.width, c.height, x0 - m, y0 - m, x1 + m, y1 + m, [&](int x, int y, float px, float py) {
        BlendOver(c.At(x, y), colour, Coverage(SdRoundBox(px, py, x0, y0, x1, y1, radius), softness));
    });
}

void FillPolygon(Canvas& c, const std::vector<Point>& poly, const Colour& colour, float softness) {
    if (poly.size() < 3) return;
    float x0 = poly[0].x, y0 = poly[0].y, x1 = x0, y1 = y0;
    for (const Point& p : poly) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    const float m = softness + 1.0f;
    ForBox(c.width, c.height, x0 - m, y0 - m, x1 + m, y1 + m, [&](int x, int y, float px, float py) {
        BlendOver(c.At(x, y), colour, Coverage(SdPolygon(px, py, poly), softness));
    });
}

void StrokeSegment(Canvas& c, float ax, float ay, float bx, float by, float width, const Colour& colour,
                   float softness) {
    const float m = width * 0.5f + softness + 1.0f;
    ForBox(c.width, c.height, std::min(ax, bx) - m, std::min(ay, by) - m, std::max(ax, bx) + m,
           std::max(ay, by) + m, [&](int x, int y, float px, float py) {
               const float d = SdSegment(px, py, ax, ay, bx, by) - width * 0.5f;
               BlendOver(c.At(x, y), colour, Coverage(d, softness));
           });
}

void FillMask(Canvas& c, const Mask& m, int ox, int oy, const Colour& colour) {
    for (int y = 0; y < m.height; ++y) {
        const int cy = oy + y;
        if (cy < 0 || cy >= c.height) continue;
        for (int x = 0; x < m.width; ++x) {
            const int cx = ox + x;
            if (cx < 0 || cx >= c.width) continue;
            BlendOver(c.At(cx, cy), colour, m.At(x, y));
        }
    }
}

void VerticalGradient(Canvas& c, float y0, float y1, const Colour& top, const Colour& bottom) {
    for (int y = 0; y < c.height; ++y) {
        const Colour row = Mix(top, bottom, Clamp01((static_cast<float>(y) + 0.5f - y0) / (y1 - y0)));
        for (int x = 0; x < c.width; ++x) c.At(x, y) = row;
    }
}

void AddGlow(Canvas& c, float cx, float cy, float radius, const Colour& colour, float power) {
    ForBox(c.width, c.height, cx - radius, cy - radius, cx + radius, cy + radius,
           [&](int x, int y, float px, float py) {
               const float d = std::hypot(px - cx, py - cy) / radius;
               if (d >= 1.0f) return;
               const float k = std::pow(1.0f - d * d, power) * colour.a;
               Colour& p = c.At(x, y);
               p.r += colour.r * k;
               p.g += colour.g * k;
               p.b += colour.b * k;
           });
}

namespace {
// One box pass of radius r along a line of n samples `stride` apart.
void BoxLine(float* data, int n, int stride, int r, bool wrap, std::vector<float>& scratch) {
    scratch.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) scratch[static_cast<std::size_t>(i)] = data[static_cast<std::ptrdiff_t>(i) * stride];
    auto at = [&](int i) {
        i = wrap ? Wrap(i, n) : std::clamp(i, 0, n - 1);
        return scratch[static_cast<std::size_t>(i)];
    };
    float sum = 0.0f;
    for (int i = -r; i <= r; ++i) sum += at(i);
    const float scale = 1.0f / static_cast<float>(2 * r + 1);
    for (int i = 0; i < n; ++i) {
        data[static_cast<std::ptrdiff_t>(i) * stride] = sum * scale;
        sum += at(i + r + 1) - at(i - r);
    }
}

// Three box passes in x and y over one channel of interleaved data.
void BlurPlane(float* data, int width, int height, int channels, float sigma, bool wrap) {
    if (sigma <= 0.0f || width <= 0 || height <= 0) return;
    const float ideal = std::sqrt(12.0f * sigma * sigma / 3.0f + 1.0f);
    const int r = std::max(1, static_cast<int>(std::lround((ideal - 1.0f) * 0.5f)));
    std::vector<float> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            BoxLine(data + static_cast<std::ptrdiff_t>(y) * width * channels, width, channels, r, wrap, scratch);
        }
        for (int x = 0; x < width; ++x) {
            BoxLine(data + static_cast<std::ptrdiff_t>(x) * channels, height, width * channels, r, wrap, scratch);
        }
    }
}
}  // namespace

Mask Dilate(const Mask& m, float radius) {
    Mask out(m.width, m.height);
    const int r = static_cast<int>(std::ceil(radius));
    std::vector<std::pair<int, int>> brush;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            if (static_cast<float>(dx * dx + dy * dy) <= radius * radius) brush.emplace_back(dx, dy);
        }
    }
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float best = 0.0f;
            for (const auto& [dx, dy] : brush) best = std::max(best, m.Get(x + dx, y + dy));
            out.At(x, y) = best;
        }
    }
    return out;
}

void Blur(Mask& m, float sigma, bool wrap) { BlurPlane(m.v.data(), m.width, m.height, 1, sigma, wrap); }

void Blur(Canvas& c, float sigma, bool wrap) {
    // Blur premultiplied, so transparent pixels do not bleed their colour.
    std::vector<float> data(c.px.size() * 4);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const Colour& p = c.px[i];
        data[i * 4 + 0] = p.r * p.a;
        data[i * 4 + 1] = p.g * p.a;
        data[i * 4 + 2] = p.b * p.a;
        data[i * 4 + 3] = p.a;
    }
    for (int ch = 0; ch < 4; ++ch) BlurPlane(data.data() + ch, c.width, c.height, 4, sigma, wrap);
    for (std::size_t i = 0; i < c.px.size(); ++i) {
        const float a = data[i * 4 + 3];
        const float inv = a > 1e-6f ? 1.0f / a : 0.0f;
        c.px[i] = {data[i * 4] * inv, data[i * 4 + 1] * inv, data[i * 4 + 2] * inv, a};
    }
}

namespace {
stbtt_fontinfo* Info(void* p) { return static_cast<stbtt_fontinfo*>(p); }
}  // namespace

Font::Font(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BakeError("cannot read the font \"" + path + "\" (install the package fonts-dejavu-core)");
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    auto* info = new stbtt_fontinfo();
    const int offset = bytes_.empty() ? -1 : stbtt_GetFontOffsetForIndex(bytes_.data(), 0);
    if (offset < 0 || !stbtt_InitFont(info, bytes_.data(), offset)) {
        delete info;
        throw BakeError("\"" + path + "\" is not a TrueType font");
    }
    info_ = info;
}

Font::~Font() { delete Info(info_); }

float Font::ScaleFor(float pixelHeight) const { return stbtt_ScaleForPixelHeight(Info(info_), pixelHeight); }

bool Font::GlyphBox(int codepoint, float scaleX, float scaleY, int box[4]) const {
    stbtt_GetCodepointBitmapBox(Info(info_), codepoint, scaleX, scaleY, &box[0], &box[1], &box[2], &box[3]);
    return box[2] > box[0] && box[3] > box[1];
}

float Font::Advance(int codepoint, float scaleX) const {
    int advance = 0, lsb = 0;
    stbtt_GetCodepointHMetrics(Info(info_), codepoint, &advance, &lsb);
    return static_cast<float>(advance) * scaleX;
}

void Font::DrawGlyph(Mask& m, int codepoint, float scaleX, float scaleY, float penX, float baseline) const {
    const float fx = std::floor(penX);
    const float fy = std::floor(baseline);
    const float shiftX = penX - fx;
    const float shiftY = baseline - fy;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(Info(info_), codepoint, scaleX, scaleY, shiftX, shiftY, &x0, &y0, &x1, &y1);
    const int w = x1 - x0;
    const int h = y1 - y0;
    if (w <= 0 || h <= 0) return;
    std::vector<unsigned char> bitmap(static_cast<std::size_t>(w) * h);
    stbtt_MakeCodepointBitmapSubpixel(Info(info_), bitmap.data(), w, h, w, scaleX, scaleY, shiftX, shiftY, codepoint);
    for (int y = 0; y < h; ++y) {
        const int my = static_cast<int>(fy) + y0 + y;
        if (my < 0 || my >= m.height) continue;
        for (int x = 0; x < w; ++x) {
            const int mx = static_cast<int>(fx) + x0 + x;
            if (mx < 0 || mx >= m.width) continue;
            float& out = m.At(mx, my);
            const float ink = static_cast<float>(bitmap[static_cast<std::size_t>(y) * w + x]) / 255.0f;
            out = std::min(1.0f, out + ink);  // overlapping glyphs add up, as ink would
        }
    }
}

Mask Font::TextMask(const std::string& text, float pixelHeight, float tracking, int pad, float* baseline) const {
    const float scale = ScaleFor(pixelHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(Info(info_), &ascent, &descent, &gap);
    float pen = 0.0f;
    float minX = 1e9f, maxX = -1e9f;
    std::vector<float> pens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        int box[4];
        if (GlyphBox(cp, scale, scale, box)) {
            minX = std::min(minX, pen + static_cast<float>(box[0]));
            maxX = std::max(maxX, pen + static_cast<float>(box[2]));
        }
        pens.push_back(pen);
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(Info(info_), cp, &advance, &lsb);
        pen += static_cast<float>(advance) * scale + tracking;
        if (i + 1 < text.size()) {
            pen += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(
                               Info(info_), cp, static_cast<unsigned char>(text[i + 1])));
        }
    }
    if (minX > maxX) minX = maxX = 0.0f;
    const float top = std::ceil(static_cast<float>(ascent) * scale);
    const float bottom = std::ceil(-static_cast<float>(descent) * scale);
    Mask m(static_cast<int>(std::ceil(maxX - minX)) + 2 * pad + 2, static_cast<int>(top + bottom) + 2 * pad);
    const float base = static_cast<float>(pad) + top;
    for (std::size_t i = 0; i < text.size(); ++i) {
        DrawGlyph(m, static_cast<unsigned char>(text[i]), scale, scale, pens[i] - minX + static_cast<float>(pad) + 1.0f,
                  base);
    }
    if (baseline) *baseline = base;
    return m;
}

namespace {
std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }
}  // namespace

Lump ImageLump(const Canvas& c, AlphaMode mode, Colour key) {
    Image image(c.width, c.height);
    const std::uint8_t keyBytes[3] = {ToByte(key.r), ToByte(key.g), ToByte(key.b)};
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            Colour p = c.At(x, y);
            std::uint8_t* out = image.At(x, y);
            const bool transparent = mode == AlphaMode::ColourKey && p.a < 0.5f;
            if (mode == AlphaMode::ColourKey && !transparent) p = Mix(key, {p.r, p.g, p.b, 1.0f}, Clamp01(p.a));
            out[0] = transparent ? keyBytes[0] : ToByte(p.r);
            out[1] = transparent ? keyBytes[1] : ToByte(p.g);
            out[2] = transparent ? keyBytes[2] : ToByte(p.b);
            out[3] = 255;
            if (mode == AlphaMode::ColourKey && !transparent && std::equal(out, out + 3, keyBytes)) {
                out[2] = static_cast<std::uint8_t>(keyBytes[2] < 255 ? keyBytes[2] + 1 : 254);
            }
        }
    }
    if (mode == AlphaMode::ColourKey && c.height > 0 && c.width > 0) {
        std::uint8_t* first = image.At(0, c.height - 1);
        std::copy(keyBytes, keyBytes + 3, first);
    }
    return {EncodeTga(image, 24, TgaEncoding::RunLength), kLumpTypeImage, static_cast<std::uint32_t>(mode)};
}

Canvas LightToBrightnessAlpha(const Canvas& light) {
    Canvas out(light.width, light.height);
    for (std::size_t i = 0; i < light.px.size(); ++i) {
        const Colour& p = light.px[i];
        const float m = std::max({p.r, p.g, p.b, 0.0f});
        // Light brighter than white is clipped in proportion, keeping its hue.
        const float k = m > 1e-6f ? std::sqrt(std::min(m, 1.0f)) / m : 0.0f;
        out.px[i] = {std::max(p.r, 0.0f) * k, std::max(p.g, 0.0f) * k, std::max(p.b, 0.0f) * k, 1.0f};
    }
    return out;
}
