// The ground tile of "other.brm": soft snowdrifts on a square that the saver
// repeats on a 9 x 9 grid. Heights and normals come from noise that tiles over
// the square, so the left edge matches the right and the front the back, and
// neighbouring tiles meet with neither a step nor a crease in the shading.
#include <algorithm>
#include <cmath>

#include "tools/bake/models.h"

namespace {
constexpr std::uint32_t kSeed = 0x5A0Du;

// Drift height in 0..1 at (u, v) in tile fractions; period 1 in both.
float Drift(float u, float v) {
    const float broad = Fbm(kSeed, u, v, 3, 2);
    const float ripple = Fbm(kSeed + 1u, u, v * 0.5f + u * 0.5f, 6, 2);
    return SmoothStep(0.15f, 0.85f, 0.8f * broad + 0.2f * ripple);
}
}  // namespace

Mesh GroundMesh() {
    Mesh m;
    m.Use(m.AddGroup("ground", -1));
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
    std::vector<Lump> lumps(3);
    lumps[kGroundModel.lump] = ModelLump(GroundMesh(), kGroundModel.scale);
    lumps[kRareTreeModel.lump] = ModelLump(RareTreeMesh(), kRareTreeModel.scale);
    lumps[kTreeModel.lump] = ModelLump(TreeMesh(), kTreeModel.scale);
    return lumps;
}
