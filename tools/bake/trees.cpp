// The two trees of "other.brm". Each is drawn with one "tex.brm" picture bound
// (6 for the common fir, 4 for the rare one), laid out as bake.h says: each cone
// tier wraps the needle band once round, tip at the top of the picture and rim
// at three quarters down; the trunk uses the bark, ornaments the gold.
#include <cmath>

#include "math/vector.h"
#include "tools/bake/bake.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/models.h"

namespace {
constexpr float kRoot = -2.5f;  // trunks reach this far below the ground point, under the drifts

// Picture rectangles pulled in by half a texel of the 256-pixel tree pictures.
UvRect Inset(const AtlasRect& r) {
    const float h = 0.5f / 256.0f;
    return {r.u0, r.v0 + h, r.u1, r.v1 - h};
}
UvRect Small(const AtlasRect& r) {
    const float h = 0.5f / 256.0f;
    return {r.u0 + h, r.v0 + h, r.u1 - h, r.v1 - h};
}

struct Tier {
    float base, tip, radius;
};

// A cone of needles with a slightly hollow flank and a shallow skirt beneath.
void AddTier(Mesh& m, const Tier& t, float phase, int segments) {
    const float h = t.tip - t.base;
    LatheOptions o;
    o.segments = segments;
    o.phaseDegrees = phase;
    o.vStart = 1.0f;  // rim
    o.vEnd = 0.0f;    // tip
    AddLathe(m, Xform(), {{t.radius, t.base}, {t.radius * 0.52f, t.base + h * 0.42f}, {0.0f, t.tip}},
             Inset(kTreeNeedles), o);
    // The skirt: from the trunk up inside the cone out to the rim, dark needles.
    LatheOptions under = o;
    under.vStart = 0.55f;
    under.vEnd = 0.74f;
    AddLathe(m, Xform(), {{0.0f, t.base + h * 0.22f}, {t.radius, t.base}}, {0.0f, 0.0f, 1.0f, 1.0f}, under);
}

void AddTrunk(Mesh& m, float radius, float top, int segments) {
    AddCylinder(m, Move(0, kRoot, 0), radius, radius * 0.8f, top - kRoot, segments, Inset(kTreeBark), Small(kTreeBark));
}

// A five-pointed star in the xy plane, standing on its lower points' line.
void AddStar(Mesh& m, V3 centre, float radius) {
    std::vector<V2> outline;
    for (int i = 0; i < 10; ++i) {
        const float a = kPiF * 0.5f + kPiF * static_cast<float>(i) / 5.0f;
        const float r = i % 2 == 0 ? radius : radius * 0.45f;
        outline.push_back({r * std::cos(a), r * std::sin(a)});
    }
    AddExtrusion(m, Move(centre.x, centre.y, centre.z), outline, radius * 0.35f, Small(kTreeGold), {Small(kTreeGold)}, false);
    AddExtrusion(m, Move(centre.x, centre.y, centre.z) * Xform::RotateY(90.0f), outline, radius * 0.35f,
                 Small(kTreeGold), {Small(kTreeGold)}, false);
}

Mesh StartTree(const char* name) {
    Mesh m;
    m.Use(m.AddGroup(name, -1));
    return m;
}

// Sides of the lathes and spheres: near, and for the distance, where a fir
// is a few dozen pixels high and a bauble one.
struct Detail {
    int trunk, commonTier, rareTier, baubleSegments, baubleRings;
};
constexpr Detail kNear = {8, 13, 16, 8, 5};
constexpr Detail kFar = {5, 7, 8, 4, 2};

Mesh Fir(const Detail& d) {
    Mesh m = StartTree("fir");
    AddTrunk(m, 0.65f, 3.0f, d.trunk);
    const Tier tiers[] = {{1.8f, 8.2f, 5.0f}, {4.9f, 10.8f, 4.1f}, {7.9f, 13.1f, 3.1f}, {10.6f, 15.2f, 2.1f}};
    float phase = 0.0f;
    for (const Tier& t : tiers) {
        AddTier(m, t, phase, d.commonTier);
        phase += 17.0f;
    }
    return m;
}

Mesh DecoratedFir(const Detail& d) {
    Mesh m = StartTree("decorated fir");
    AddTrunk(m, 0.8f, 2.6f, d.trunk);
    const Tier tiers[] = {{1.4f, 7.6f, 6.0f}, {4.2f, 9.9f, 5.0f}, {6.9f, 12.0f, 3.9f}, {9.5f, 14.0f, 2.8f},
                          {11.9f, 15.6f, 1.7f}};
    float phase = 0.0f;
    for (const Tier& t : tiers) {
        AddTier(m, t, phase, d.rareTier);
        phase += 23.0f;
    }
    AddStar(m, {0.0f, 16.5f, 0.0f}, 1.2f);
    // Gold baubles hanging just under each tier's rim.
    for (std::size_t k = 0; k + 1 < std::size(tiers); ++k) {
        const Tier& t = tiers[k];
        const int count = 7 - static_cast<int>(k);
        for (int i = 0; i < count; ++i) {
            const float a = 2.0f * kPiF * (static_cast<float>(i) + 0.5f * static_cast<float>(k)) / static_cast<float>(count);
            const float r = t.radius * 0.93f;
            AddSphere(m, Move(r * std::sin(a), t.base - 0.25f, r * std::cos(a)), 0.38f, d.baubleSegments, d.baubleRings,
                      Small(kTreeGold));
        }
    }
    return m;
}
}  // namespace

Mesh TreeMesh() { return Fir(kNear); }
Mesh RareTreeMesh() { return DecoratedFir(kNear); }
Mesh FarTreeMesh() { return Fir(kFar); }
Mesh FarRareTreeMesh() { return DecoratedFir(kFar); }
