// The ground tile of "other.brm": soft snowdrifts on a square that the saver
// repeats on a 9 x 9 grid. Heights and normals come from noise that tiles over
// the square, so the left edge matches the right and the front the back, and
// neighbouring tiles meet with neither a step nor a crease in the shading.
#include <algorithm>
#include <cmath>

#include "tools/bake/models.h"

namespace {
constexpr std::uint32_t kSeed = 0x5A0Du;

// The light response at which the ground shows deep shade and lit snow: the
// lighting factor is OpenGL's global ambient (0.2) plus the cosine towards the
// light near the camera; the drifts seen from the sleigh's usual heights lie
// between about 0.35 and 0.75, grazing ground at 0.2, top-down views at 1.2.
constexpr float kDeepAt = 0.25f;
constexpr float kLitAt = 0.75f;

// Drift height in 0..1 at (u, v) in tile fractions; period 1 in both.
float Drift(float u, float v) {
    const float broad = Fbm(kSeed, u, v, 3, 2);
    const float ripple = Fbm(kSeed + 1u, u, v * 0.5f + u * 0.5f, 6, 2);
    return SmoothStep(0.15f, 0.85f, 0.8f * broad + 0.2f * ripple);
}

}  // namespace

// The ground is drawn untextured, so its colour is all in the material: the
// diffuse colour grows with the light from deep shade to lit snow, and the
// emission keeps the snow blue in the hollows and on the slopes turned away,
// as moonlit snow is, instead of the neutral grey a white surface gives.
Ms3dMaterialDesc SnowMaterial() {
    const Colour deep = Hex(0x7D93B8), lit = Hex(0xEEF4FF);
    const float span = kLitAt - kDeepAt;
    const Colour rise = {(lit.r - deep.r) / span, (lit.g - deep.g) / span, (lit.b - deep.b) / span};
    Ms3dMaterialDesc m;
    m.name = "snow";
    m.diffuse = {rise.r, rise.g, rise.b, 1.0f};
    m.ambient = m.diffuse;
    m.emissive = {deep.r - kDeepAt * rise.r, deep.g - kDeepAt * rise.g, deep.b - kDeepAt * rise.b, 1.0f};
    return m;
}

Mesh GroundMesh() {
    Mesh m;
    m.Use(m.AddGroup("ground", m.AddMaterial(SnowMaterial())));
    const int n = kGroundCells;
    std::vector<float> raw(static_cast<std::size_t>(n) * n);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            raw[static_cast<std::size_t>(j) * n + i] = Drift(static_cast<float>(i) / n, static_cast<float>(j) / n);
        }
    }
    const auto extremes = std::minmax_element(raw.begin(), raw.end());
    const float lo = *extremes.first;
    const float span = std::max(*extremes.second - lo, 1e-6f);
    // Heights on a wrapped grid: row and column n are row and column 0 again.
    auto height = [&](int i, int j) {
        const int wi = ((i % n) + n) % n, wj = ((j % n) + n) % n;
        return kGroundLowest * (1.0f - (raw[static_cast<std::size_t>(wj) * n + wi] - lo) / span);
    };
    const float cell = kGroundSize / static_cast<float>(n);
    auto corner = [&](int i, int j) {
        const V3 p = {-kGroundSize * 0.5f + cell * static_cast<float>(i), height(i, j),
                      -kGroundSize * 0.5f + cell * static_cast<float>(j)};
        const V3 normal = Normalised({height(i - 1, j) - height(i + 1, j), 2.0f * cell, height(i, j - 1) - height(i, j + 1)});
        return Corner{p, normal, {static_cast<float>(i) / n, static_cast<float>(j) / n}};
    };
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            // Split each cell along alternating diagonals so no direction shows.
            if ((i + j) % 2 == 0) {
                m.AddQuad(Xform(), corner(i, j), corner(i, j + 1), corner(i + 1, j + 1), corner(i + 1, j));
            } else {
                m.AddQuad(Xform(), corner(i + 1, j), corner(i, j), corner(i, j + 1), corner(i + 1, j + 1));
            }
        }
    }
    return m;
}

std::vector<Lump> BuildOther() {
    std::vector<Lump> lumps(5);
    lumps[kGroundModel.lump] = ModelLump(GroundMesh(), kGroundModel.scale);
    lumps[kRareTreeModel.lump] = ModelLump(RareTreeMesh(), kRareTreeModel.scale);
    lumps[kTreeModel.lump] = ModelLump(TreeMesh(), kTreeModel.scale);
    lumps[kRareTreeModelFar.lump] = ModelLump(FarRareTreeMesh(), kRareTreeModelFar.scale);
    lumps[kTreeModelFar.lump] = ModelLump(FarTreeMesh(), kTreeModelFar.scale);
    return lumps;
}
