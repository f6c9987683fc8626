// "sleigh.brm": a red sleigh with gold trim and curled gold runners, a green
// velvet seat for Santa, a raised bench behind it for the elf and a bulging sack
// of presents at the back. The saver draws it with face culling off.
//
// Fixed points (scene units, front towards +z): runners' undersides at y -3.3,
// ending at z -5; Santa's seat at (0, -2.2, 1.2); the elf's at (0, 1.6, -1.0);
// the reins leave the dash at (+-1.75, -1, 4.4).
#include <cmath>

#include "math/vector.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/models.h"

namespace {
const Colour kRed = Hex(0xB3122B);
const Colour kGold = Hex(0xD9A92E);

enum Material { kBody = 0, kGoldMetal, kVelvet, kSack, kGifts, kMaterials };
const char* const kMaterialNames[kMaterials] = {"body", "gold", "velvet", "sack", "gifts"};

// Picture regions of the body picture (256 x 256).
const PixelRect kPanelArt = {0, 0, 256, 140};
const PixelRect kLacquer = {0, 144, 256, 256};

// The side panel's outline: (z, y), counter-clockwise seen from -x, with the high
// back round the elf's bench, and the waist and the dash kept low beside and in
// front of Santa so his coat, his arms and the reins in his fists show; the reins'
// rings sit on the dash's lip.
const std::vector<V2> kSideOutline = {
    {-4.9f, -2.9f},  {3.0f, -2.9f},   {3.8f, -2.6f},   {4.3f, -2.05f},  {4.55f, -1.5f}, {4.55f, -1.25f},
    {4.4f, -1.1f},   {4.1f, -1.05f},  {3.8f, -1.15f},  {3.45f, -1.4f},  {2.8f, -1.8f},  {2.0f, -1.98f},
    {0.9f, -1.98f},  {0.2f, -1.75f},  {-0.25f, -1.0f}, {-0.65f, 0.2f},  {-1.1f, 1.2f},  {-1.6f, 1.9f},
    {-2.4f, 2.25f},  {-3.2f, 2.3f},   {-3.9f, 2.05f},  {-4.5f, 1.5f},   {-4.9f, 0.8f},
};
constexpr float kPanelX = 2.15f;      // centre of each side panel
constexpr float kPanelDepth = 0.22f;  // its thickness
constexpr float kInside = kPanelX - kPanelDepth * 0.5f;
constexpr float kRunnerX = 2.6f;

// The picture position of an outline point, as the extrusion cap maps it.
Point PanelPixel(V2 p) {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
    for (V2 q : kSideOutline) {
        x0 = std::min(x0, q.x), x1 = std::max(x1, q.x), y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
    }
    return {static_cast<float>(kPanelArt.x0) + (p.x - x0) / (x1 - x0) * static_cast<float>(kPanelArt.Width()),
            static_cast<float>(kPanelArt.y0) + (y1 - p.y) / (y1 - y0) * static_cast<float>(kPanelArt.Height())};
}

Canvas PaintBody() {
    Canvas c(256, 256, Hex(0x000000));
    // Lacquer with a soft sheen, deeper at the edges.
    auto lacquer = [&](const PixelRect& r) {
        ForEachPixel(c, r, [&](int x, int y, float a, float b) {
            const float sheen = std::exp(-std::pow((b - 0.3f) / 0.18f, 2.0f)) * 0.25f;
            c.At(x, y) = Mix(Shade(kRed, 0.85f + 0.1f * Fbm(41, a, b, 4, 2)), Hex(0xF06070), sheen);
        });
    };
    lacquer(kPanelArt);
    lacquer(kLacquer);
    DarkenEdges(c, kLacquer, 12.0f, 0.3f, true, true, true);
    // A gold pinstripe round the lacquer region, for the dash, back and bench.
    const float lx0 = static_cast<float>(kLacquer.x0), ly0 = static_cast<float>(kLacquer.y0);
    const float lx1 = static_cast<float>(kLacquer.x1), ly1 = static_cast<float>(kLacquer.y1);
    StrokeSegment(c, lx0 + 8, ly0 + 8, lx1 - 8, ly0 + 8, 2.5f, kGold);
    StrokeSegment(c, lx1 - 8, ly0 + 8, lx1 - 8, ly1 - 8, 2.5f, kGold);
    StrokeSegment(c, lx1 - 8, ly1 - 8, lx0 + 8, ly1 - 8, 2.5f, kGold);
    StrokeSegment(c, lx0 + 8, ly1 - 8, lx0 + 8, ly0 + 8, 2.5f, kGold);
    // Side panel: a gold line following the outline just inside the edge, and scrolls.
    std::vector<Point> outline;
    for (V2 p : kSideOutline) outline.push_back(PanelPixel(p));
    ForEachPixel(c, kPanelArt, [&](int x, int y, float, float) {
        const float d = -SdPolygon(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, outline);
        if (d > 0.0f && d < 4.0f) c.At(x, y) = Shade(c.At(x, y), 0.7f);  // the panel's rim in shade
        const float line = Coverage(std::fabs(d - 9.0f) - 1.4f, 1.0f);
        BlendOver(c.At(x, y), Mix(kGold, Hex(0xFFE38A), 0.3f), line);
    });
    // Scrolls: gold spirals on the high back and by the front curl.
    auto scroll = [&](Point centre, float radius, float turns, float sign) {
        Point prev = centre;
        for (int i = 0; i <= 80; ++i) {
            const float t = static_cast<float>(i) / 80.0f;
            const float a = sign * t * turns * 2.0f * kPiF;
            const float r = radius * t;
            const Point p = {centre.x + r * std::cos(a), centre.y + r * std::sin(a)};
            if (i > 0) StrokeSegment(c, prev.x, prev.y, p.x, p.y, 1.2f + 1.8f * t, kGold);
            prev = p;
        }
    };
    scroll(PanelPixel({-2.9f, 0.9f}), 16.0f, 1.6f, 1.0f);
    scroll(PanelPixel({-1.4f, -1.3f}), 11.0f, 1.4f, -1.0f);
    scroll(PanelPixel({3.75f, -1.95f}), 9.0f, 1.5f, 1.0f);
    // Holly sprig in the middle of the waist.
    const Point h = PanelPixel({1.45f, -2.55f});
    for (int k = -1; k <= 1; k += 2) {
        FillPolygon(c, {{h.x, h.y}, {h.x + 9.0f * static_cast<float>(k), h.y - 5.0f}, {h.x + 15.0f * static_cast<float>(k), h.y + 1.0f},
                        {h.x + 6.0f * static_cast<float>(k), h.y + 4.0f}},
                    Hex(0x2E7D45));
    }
    for (int k = 0; k < 3; ++k) FillDisc(c, h.x - 3.0f + 3.0f * static_cast<float>(k), h.y - 1.0f + (k == 1 ? -2.0f : 0.0f), 2.4f, Hex(0xE02030));
    return c;
}

Canvas PaintGold() {
    Canvas c(64, 64, Hex(0x000000));
    ForEachPixel(c, {0, 0, 64, 64}, [&](int x, int y, float a, float) {
        // Bands across the section's round (u) read as a polished rod.
        const float sheen = 0.5f + 0.5f * std::cos(2.0f * kPiF * (a - 0.2f));
        c.At(x, y) = Mix(Hex(0x8A6A1C), Hex(0xFFE9A0), std::pow(sheen, 1.5f));
    });
    return c;
}

Canvas PaintVelvet() {
    Canvas c(64, 64, Hex(0x000000));
    const Colour green = Hex(0x1F5E3B);
    ForEachPixel(c, {0, 0, 64, 64}, [&](int x, int y, float a, float b) {
        // Tufted: soft pillows between buttons on a diamond grid.
        const float u = a * 3.0f, v = b * 3.0f;
        const float du = u - std::floor(u) - 0.5f, dv = v - std::floor(v) - 0.5f;
        const float pillow = 1.0f - 1.6f * (du * du + dv * dv);
        c.At(x, y) = Shade(green, 0.6f + 0.55f * pillow + 0.1f * Fbm(43, a, b, 8, 2));
    });
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const float x = (static_cast<float>(i) + 0.0f) * 64.0f / 3.0f, y = (static_cast<float>(j) + 0.0f) * 64.0f / 3.0f;
            FillDisc(c, x + 1.0f, y + 1.0f, 2.0f, kGold);
        }
    }
    return c;
}

// Burlap over the upper three quarters, the tie rope below.
const PixelRect kBurlap = {0, 0, 128, 96};
const PixelRect kRope = {0, 96, 128, 128};

Canvas PaintSack() {
    Canvas c(128, 128, Hex(0x000000));
    const Colour burlap = Hex(0x9C7A4E);
    ForEachPixel(c, kBurlap, [&](int x, int y, float a, float b) {
        const float weave = 0.5f + 0.25f * (std::sin(static_cast<float>(x) * 1.6f) + std::sin(static_cast<float>(y) * 1.6f));
        const float folds = Fbm(44, a * 2.0f, b, 4, 3);
        c.At(x, y) = Shade(burlap, 0.7f + 0.2f * weave + 0.4f * folds);
    });
    // Faded stamps: a red star on either side of the belly.
    for (int k = 0; k < 2; ++k) {
        const float cx = 32.0f + 64.0f * static_cast<float>(k), cy = 52.0f;
        std::vector<Point> star;
        for (int i = 0; i < 10; ++i) {
            const float a = -kPiF * 0.5f + kPiF * static_cast<float>(i) / 5.0f;
            const float r = i % 2 == 0 ? 11.0f : 4.5f;
            star.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        FillPolygon(c, star, Hex(0xA0202A, 0.85f), 1.5f);
    }
    ForEachPixel(c, kRope, [&](int x, int y, float, float b) {
        const float twist = 0.5f + 0.5f * std::sin((static_cast<float>(x) * 0.9f + b * 14.0f));
        c.At(x, y) = Shade(Hex(0xC9A46A), 0.6f + 0.5f * twist);
    });
    return c;
}

Canvas PaintGifts() {
    Canvas c(64, 64, Hex(0x000000));
    ForEachPixel(c, {0, 0, 64, 64}, [&](int x, int y, float, float) {
        const bool stripe = ((x + y) / 6) % 2 == 0;
        Colour p = stripe ? Hex(0xC8102E) : Hex(0xF5F5F0);
        if (std::abs(x - 32) < 5 || std::abs(y - 32) < 5) p = Hex(0xE3B341);
        c.At(x, y) = p;
    });
    return c;
}

UvRect Whole(int size) { return PixelRect{0, 0, size, size}.Uv(size, size); }

void AddRunner(Mesh& m, float side) {
    std::vector<V3> path;
    const float y = -3.18f;  // centre line: the underside lies 0.12 lower, at -3.3
    const std::vector<V2> zy = {{-4.95f, y + 0.22f}, {-4.6f, y + 0.04f}, {-4.1f, y},      {3.4f, y},
                                {4.4f, y + 0.15f},   {5.2f, y + 0.7f},   {5.75f, y + 1.6f}, {5.95f, y + 2.6f},
                                {5.75f, y + 3.4f},   {5.25f, y + 3.8f},  {4.75f, y + 3.65f}, {4.55f, y + 3.2f},
                                {4.8f, y + 2.85f},   {5.15f, y + 2.95f}};
    for (V2 p : zy) path.push_back({side * kRunnerX, p.y, p.x});
    SweepOptions o;
    o.vRepeat = 2.0f;
    AddSweep(m, Xform(), path, {1, 0, 0}, RegularPolygon(8, 0.17f, 0.12f, 22.5f), Whole(64), o);
    // Posts up to the body.
    for (float z : {-3.6f, -0.4f, 2.6f}) {
        AddBox(m, Move(side * (kRunnerX - 0.2f), -2.95f, z) * Xform::RotateZ(side * 35.0f), {0.18f, 0.6f, 0.22f},
               BoxUv::All(Whole(64)));
    }
}
}  // namespace

std::vector<Canvas> SleighImages() { return {PaintBody(), PaintGold(), PaintVelvet(), PaintSack(), PaintGifts()}; }

Mesh SleighMesh() {
    Mesh m;
    int groups[kMaterials];
    for (int k = 0; k < kMaterials; ++k) groups[k] = m.AddGroup(kMaterialNames[k], m.AddMaterial(PlainMaterial(kMaterialNames[k])));
    const UvRect lacquer = kLacquer.Uv(256, 256);

    // Body: two side panels, the floor, the curved dash, the back, the elf's bench and the rear deck.
    m.Use(groups[kBody]);
    const UvRect panel = kPanelArt.Uv(256, 256);
    for (float side : {-1.0f, 1.0f}) {
        AddExtrusion(m, Move(side * kPanelX, 0, 0) * Xform::RotateY(-90.0f), kSideOutline, kPanelDepth, panel,
                     {PixelRect{0, 250, 256, 256}.Uv(256, 256)}, false);
    }
    BoxUv body = BoxUv::All(lacquer);
    AddBox(m, Move(0, -2.82f, -0.95f), {2.0f * kInside, 0.16f, 7.9f}, body);
    const std::vector<V2> dashLine = {{3.0f, -2.9f}, {3.8f, -2.6f}, {4.3f, -2.05f}, {4.55f, -1.5f},
                                      {4.55f, -1.25f}, {4.4f, -1.1f}, {4.1f, -1.05f}};
    AddExtrusion(m, Xform::RotateY(-90.0f), ThickLine(dashLine, 0.18f), 2.0f * kInside, lacquer, {lacquer}, false);
    AddBox(m, Move(0, -1.05f, -4.8f), {2.0f * kInside, 3.7f, 0.2f}, body);
    AddBox(m, Move(0, -0.75f, -1.25f), {2.0f * kInside, 4.1f, 2.1f}, body);   // the bench under the elf
    AddBox(m, Move(0, -1.0f, -3.5f), {2.0f * kInside, 0.2f, 2.5f}, body);    // deck under the sack

    // Gold: runners, posts, rein rings and a rail along the waist.
    m.Use(groups[kGoldMetal]);
    AddRunner(m, -1.0f);
    AddRunner(m, 1.0f);
    for (float side : {-1.0f, 1.0f}) AddSphere(m, Move(side * 1.75f, -1.0f, 4.45f), 0.16f, 8, 5, Whole(64));
    SweepOptions rail;
    rail.vRepeat = 1.0f;
    for (float side : {-1.0f, 1.0f}) {
        std::vector<V3> path;
        for (int i = 9; i <= 14; ++i) {
            const V2 p = kSideOutline[static_cast<std::size_t>(i)];
            path.push_back({side * (kPanelX + 0.02f), p.y + 0.02f, p.x});
        }
        AddSweep(m, Xform(), path, {1, 0, 0}, RegularPolygon(6, 0.14f, 0.08f), Whole(64), rail);
    }

    // Velvet: Santa's cushion and backrest, the elf's cushion.
    m.Use(groups[kVelvet]);
    const UvRect velvet = Whole(64);
    AddBevelBox(m, Move(0, -2.5f, 1.35f), {2.0f * kInside - 0.1f, 0.5f, 2.6f}, 0.15f, velvet);
    AddBevelBox(m, Move(0, -1.0f, 0.0f) * Xform::RotateX(-12.0f), {2.0f * kInside - 0.2f, 2.6f, 0.45f}, 0.15f, velvet);
    AddBevelBox(m, Move(0, 1.4f, -1.2f), {2.0f * kInside - 0.1f, 0.35f, 2.2f}, 0.12f, velvet);

    // The sack behind the bench, squat so the chase view sees the elf and the team
    // over it, its crown just behind the bench where the elf reaches, tied with a rope.
    m.Use(groups[kSack]);
    const Xform sack = Move(0, -0.9f, -3.1f) * Xform::Scale({0.9f, 0.68f, 0.66f});
    LatheOptions lathe;
    lathe.segments = 14;
    lathe.vStart = 1.0f;
    lathe.vEnd = 0.0f;
    const std::vector<V2> profile = {{0.0f, 0.0f}, {1.1f, 0.1f}, {1.75f, 0.8f}, {1.9f, 1.7f}, {1.7f, 2.6f}, {1.1f, 3.3f},
                                     {0.5f, 3.65f}, {0.55f, 3.85f}, {0.85f, 4.2f}, {0.0f, 4.05f}};
    AddLathe(m, sack, profile, kBurlap.Uv(128, 128), lathe);
    SweepOptions rope;
    rope.closed = true;
    rope.vRepeat = 1.0f;
    std::vector<V3> ring;
    for (int i = 0; i < 10; ++i) {
        const float a = 2.0f * kPiF * static_cast<float>(i) / 10.0f;
        ring.push_back({0.55f * std::sin(a), 3.68f, 0.55f * std::cos(a)});
    }
    AddSweep(m, sack, ring, {0, 1, 0}, RegularPolygon(6, 0.12f, 0.12f), kRope.Uv(128, 128), rope);

    // Presents stacked in the back corners beside the sack, the top ones showing
    // over the back from the chase view.
    m.Use(groups[kGifts]);
    AddBox(m, Move(1.35f, -0.25f, -4.15f) * Xform::RotateY(20.0f), {0.9f, 1.3f, 0.9f}, BoxUv::All(Whole(64)));
    AddBox(m, Move(-1.35f, -0.35f, -4.2f) * Xform::RotateY(-15.0f), {1.0f, 1.1f, 0.8f}, BoxUv::All(Whole(64)));
    AddBox(m, Move(1.3f, 0.82f, -4.1f) * Xform::RotateY(-10.0f) * Xform::RotateZ(8.0f), {0.75f, 0.8f, 0.75f},
           BoxUv::All(Whole(64)));
    AddBox(m, Move(-1.25f, 0.5f, -4.05f) * Xform::RotateY(30.0f), {0.7f, 0.6f, 0.7f}, BoxUv::All(Whole(64)));
    return m;
}

std::vector<Lump> BuildSleigh() {
    std::vector<Lump> lumps = {ModelLump(SleighMesh(), kSleighModel.scale)};
    for (const Canvas& c : SleighImages()) lumps.push_back(ImageLump(c, AlphaMode::Opaque));
    return lumps;
}
