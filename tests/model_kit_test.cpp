#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "math/vector.h"
#include "tools/bake/bake.h"
#include "tools/bake/characters.h"
#include "tools/bake/model/painters.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/models.h"

namespace {
Mesh OneGroup() {
    Mesh m;
    m.Use(m.AddGroup("g", -1));
    return m;
}

float SignedVolume(const Mesh& m) {
    double v = 0.0;
    for (const MeshTriangle& t : m.Triangles()) {
        const V3 a = t.corners[0].position, b = t.corners[1].position, c = t.corners[2].position;
        v += Dot(a, Cross(b, c)) / 6.0;
    }
    return static_cast<float>(v);
}

// Closed and consistently wound: every directed edge a->b is matched by b->a
// as often (positions compared after rounding, so welded corners meet).
::testing::AssertionResult ClosedAndConsistent(const Mesh& m) {
    using Key = std::tuple<long, long, long>;
    auto key = [](V3 p) {
        return Key{std::lround(p.x * 1e4f), std::lround(p.y * 1e4f), std::lround(p.z * 1e4f)};
    };
    std::map<std::pair<Key, Key>, int> edges;
    for (const MeshTriangle& t : m.Triangles()) {
        for (int k = 0; k < 3; ++k) {
            const Key a = key(t.corners[static_cast<std::size_t>(k)].position);
            const Key b = key(t.corners[static_cast<std::size_t>((k + 1) % 3)].position);
            ++edges[{a, b}];
        }
    }
    for (const auto& [e, n] : edges) {
        const auto back = edges.find({e.second, e.first});
        const int m2 = back == edges.end() ? 0 : back->second;
        if (m2 != n) {
            return ::testing::AssertionFailure() << "edge from (" << std::get<0>(e.first) << ", " << std::get<1>(e.first)
                                                 << ", " << std::get<2>(e.first) << ") used " << n
                                                 << " times one way and " << m2 << " the other";
        }
    }
    return ::testing::AssertionSuccess();
}

// Every corner normal on the same side as its triangle's winding.
bool NormalsAgreeWithWinding(const Mesh& m) {
    for (const MeshTriangle& t : m.Triangles()) {
        const V3 face = Cross(t.corners[1].position - t.corners[0].position, t.corners[2].position - t.corners[0].position);
        for (const Corner& c : t.corners) {
            if (Dot(face, c.normal) <= 0.0f) return false;
        }
    }
    return true;
}

// Closed, wound outward, and enclosing a volume in [lo, hi].
void ExpectSolidBetween(const Mesh& m, float lo, float hi) {
    EXPECT_TRUE(ClosedAndConsistent(m));
    EXPECT_TRUE(NormalsAgreeWithWinding(m));
    EXPECT_GE(SignedVolume(m), lo);
    EXPECT_LE(SignedVolume(m), hi);
}

// The baked files and their builders.
struct BakedFile {
    const char* name;
    std::vector<Lump> (*build)();
};
const BakedFile kFiles[] = {
    {"tex.brm", BuildSceneTextures}, {"bramble.works", BuildOverlayTextures}, {"houses.brm", BuildHouses},
    {"other.brm", BuildOther},       {"sleigh.brm", BuildSleigh},             {"presents.brm", BuildPresents},
    {"reindeer.brm", BuildReindeer}, {"santa.brm", BuildSanta},               {"elf.brm", BuildElf},
};

// An L of area 3, with a collinear point on its long side; picture bands for one and for two levels.
const std::vector<V2> kEll = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
const std::vector<UvRect> kOne(1), kTwo(2);
}  // namespace

// ---- Primitives ----

// Every solid the kit builds is closed, wound outward with its normals on the
// outside, and holds the volume its shape gives.
TEST(Primitives, SolidsAreClosedOutwardAndOfTheirVolume) {
    const float polygon = 0.5f * 12.0f * std::sin(2.0f * kPiF / 12.0f);  // area of the unit 12-gon
    const float ball = 4.0f / 3.0f * kPiF * 8.0f;
    const float chamfers = 0.5f * 0.3f * 0.3f * 4.0f * (2.0f + 3.0f + 4.0f);  // a full prism along every edge
    const std::vector<V2> square = {{-0.1f, -0.1f}, {0.1f, -0.1f}, {0.1f, 0.1f}, {-0.1f, 0.1f}};
    std::vector<V3> circle;
    for (int i = 0; i < 16; ++i) {
        const float a = 2.0f * kPiF * static_cast<float>(i) / 16.0f;
        circle.push_back({2.0f * std::sin(a), 0.0f, 2.0f * std::cos(a)});
    }
    // A ring of a 0.3 octagon round that circle: roughly the section's area times the path's length.
    const float ring = 0.5f * 8.0f * std::sin(kPiF / 4.0f) * 0.09f * 16.0f * 4.0f * std::sin(kPiF / 16.0f);
    const struct {
        const char* name;
        std::function<void(Mesh&)> build;
        float lo, hi;  // the volume
    } solids[] = {
        {"box", [](Mesh& m) { AddBox(m, Move(1, 2, 3), {2, 3, 4}, BoxUv::All({})); }, 23.999f, 24.001f},
        {"bevelled box", [](Mesh& m) { AddBevelBox(m, Xform(), {2, 3, 4}, 0.3f, {}); },
         24.0f - chamfers, 23.999f},
        {"turned, mirrored box", [](Mesh& m) {
             AddBox(m, Xform::RotateZ(30.0f) * Xform::RotateX(-20.0f) * Xform::Scale({-1, 2, 1}), {1, 1, 1},
                    BoxUv::All({}));
         }, 1.999f, 2.001f},
        {"cylinder", [](Mesh& m) { AddCylinder(m, Xform(), 1.0f, 1.0f, 2.0f, 12, {}, {}); },
         polygon * 2.0f - 1e-3f, polygon * 2.0f + 1e-3f},
        {"cone", [](Mesh& m) { AddCylinder(m, Xform(), 1.0f, 0.0f, 3.0f, 12, {}, {}); },
         polygon - 1e-3f, polygon + 1e-3f},
        {"sphere", [](Mesh& m) { AddSphere(m, Move(5, 0, 0), 2.0f, 16, 10, {}); }, 0.9f * ball, ball},
        {"creased lathe", [](Mesh& m) {
             LatheOptions o;
             o.creases = {1};
             AddLathe(m, Xform(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {}, o);
         }, polygon - 1e-3f, polygon + 1e-3f},
        // Its caps are the L triangulated: a gap or an overlap there opens the solid.
        {"concave extrusion", [&](Mesh& m) { AddExtrusion(m, Xform(), kEll, 0.5f, {}, {UvRect{}}, false); },
         1.4999f, 1.5001f},
        // A strip along a bent line is a valid outline whichever way the line turns.
        {"bent strip", [](Mesh& m) {
             const std::vector<V2> outline = ThickLine({{0, 0}, {1, 0.5f}, {1.5f, 1.5f}}, 0.2f);
             AddExtrusion(m, Xform(), outline, 1.0f, {}, {UvRect{}}, false);
         }, 1e-6f, 1e9f},
        // A square pyramid 4 across and 3 high: a^2 h / 3.
        {"pyramid", [&](Mesh& m) { AddHipSolid(m, Xform(), 2.0f, 2.0f, {{0, 0}, {2, 3}}, kOne, {}); },
         15.999f, 16.001f},
        // A hipped roof 6 by 2 with a ridge 4 long, 1 high: w h (3 L - w) / 6.
        {"hipped roof", [&](Mesh& m) { AddHipSolid(m, Xform(), 3.0f, 1.0f, {{0, 0}, {1, 1}}, kOne, {}); },
         16.0f / 3.0f - 1e-3f, 16.0f / 3.0f + 1e-3f},
        // A 4 x 4 box 1 high under a frustum to a 2 x 2 deck 1 higher: 16 + 28 / 3.
        {"mansard", [&](Mesh& m) { AddHipSolid(m, Xform(), 2.0f, 2.0f, {{0, 0}, {0, 1}, {1, 2}}, kTwo, {}); },
         16.0f + 28.0f / 3.0f - 1e-3f, 16.0f + 28.0f / 3.0f + 1e-3f},
        // A lip reaching out beyond the base and back under, as snow over eaves.
        {"lipped hip", [](Mesh& m) {
             AddHipSolid(m, Move(5, 0, 0), 2.0f, 1.5f, {{0.2f, 0}, {-0.3f, -0.2f}, {-0.3f, 0.3f}, {1.5f, 1}},
                         std::vector<UvRect>(3), {});
         }, 1e-6f, 1e9f},
        // A square section 0.2 across swept 3 long is a 0.12 box.
        {"straight rod", [&](Mesh& m) {
             SweepOptions flat;
             flat.smoothSection = false;
             AddSweep(m, Xform(), {{0, 0, 0}, {0, 0, 1}, {0, 0, 3}}, {1, 0, 0}, square, {}, flat);
         }, 0.1199f, 0.1201f},
        {"closed ring, no caps", [&](Mesh& m) {
             SweepOptions closed;
             closed.closed = true;
             AddSweep(m, Xform(), circle, {0, 1, 0}, RegularPolygon(8, 0.3f, 0.3f), {}, closed);
         }, ring - 0.15f, ring + 0.15f},
    };
    for (const auto& solid : solids) {
        SCOPED_TRACE(solid.name);
        Mesh m = OneGroup();
        solid.build(m);
        ExpectSolidBetween(m, solid.lo, solid.hi);
    }
}

// Shapes that cannot be built are refused at bake time, not written half-made.
TEST(Primitives, RefusesWhatCannotBeBuilt) {
    const std::vector<V2> clockwise(kEll.rbegin(), kEll.rend());
    LatheOptions repeats;
    repeats.uRepeats = 5;  // must divide the segments
    Mesh m = OneGroup();
    EXPECT_THROW(AddBevelBox(m, Xform(), {2, 3, 4}, 1.0f, {}), BakeError);
    EXPECT_THROW(AddLathe(m, Xform(), {{0, 0}, {1, 1}}, {}, repeats), BakeError);
    EXPECT_THROW(AddExtrusion(m, Xform(), clockwise, 0.5f, {}, {UvRect{}}, false), BakeError);
    EXPECT_THROW(AddExtrusion(m, Xform(), kEll, 0.5f, {}, {UvRect{}, UvRect{}}, false), BakeError);
    // A level inset past the ridge, or bands that do not match the levels.
    EXPECT_THROW(AddHipSolid(m, Xform(), 3.0f, 1.0f, {{0, 0}, {1.5f, 1}}, kOne, {}), BakeError);
    EXPECT_THROW(AddHipSolid(m, Xform(), 3.0f, 1.0f, {{0, 0}, {1, 1}}, kTwo, {}), BakeError);
}

// Smooth: a sphere's corner normals point straight out from its centre, and a
// mansard's bend shares one normal between the bands either side while the
// hips stay hard (the two sides meeting at a corner keep their own).
TEST(Primitives, SmoothNormalsWhereTheSurfaceBends) {
    Mesh sphere = OneGroup();
    const V3 centre = {5, 0, 0};
    AddSphere(sphere, Move(5, 0, 0), 2.0f, 16, 10, {});
    for (const MeshTriangle& t : sphere.Triangles()) {
        for (const Corner& c : t.corners) EXPECT_GT(Dot(Normalised(c.position - centre), c.normal), 0.95f);
    }
    Mesh mansard = OneGroup();
    AddHipSolid(mansard, Xform(), 2.0f, 2.0f, {{0, 0}, {0, 1}, {1, 2}}, std::vector<UvRect>(2), {});
    int atBend = 0;
    for (const MeshTriangle& t : mansard.Triangles()) {
        for (const Corner& c : t.corners) {
            if (Length(c.position - V3{2, 1, 2}) > 1e-5f) continue;
            ++atBend;
            EXPECT_GT(c.normal.y, 0.1f);                                // the bend leans up, not straight out
            EXPECT_LT(std::fabs(c.normal.x) * std::fabs(c.normal.z), 1e-6f);  // and belongs to one side only
        }
    }
    EXPECT_GT(atBend, 0);
}

TEST(Primitives, MapsKeepNormalsOutward) {
    // Turning by 90 degrees about y takes +x to -z, as the saver turns its houses.
    const V3 p = Xform::RotateY(90.0f).Point({1, 2, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 2.0f, 1e-6f);
    EXPECT_NEAR(p.z, -1.0f, 1e-6f);
    // A squashed plane keeps its normal perpendicular: x + y = 0 stretched 2x along x.
    const V3 n = Xform::Scale({2, 1, 1}).Normal(Normalised({1, 1, 0}));
    EXPECT_NEAR(n.x, 1.0f / std::sqrt(5.0f), 1e-5f);
    EXPECT_NEAR(n.y, 2.0f / std::sqrt(5.0f), 1e-5f);
    const Xform composed = Move(1, 0, 0) * Xform::RotateY(90.0f);
    const V3 q = composed.Point({0, 0, 1});  // rotate first, then move
    EXPECT_NEAR(q.x, 2.0f, 1e-6f);
    EXPECT_NEAR(q.z, 0.0f, 1e-6f);
}

TEST(Primitives, SurfacePaintersStayInsideTheCanvas) {
    Canvas c(16, 16, Hex(0x000000));
    const PixelRect r = {-4, 10, 40, 30};  // mostly outside
    int painted = 0;
    ForEachPixel(c, r, [&](int x, int y, float, float) {
        ASSERT_GE(x, 0);
        ASSERT_GE(y, 10);
        ASSERT_LT(x, 16);
        ASSERT_LT(y, 16);
        ++painted;
    });
    EXPECT_EQ(painted, 16 * 6);
    const UvRect uv = PixelRect{0, 0, 8, 4}.Uv(16, 16);
    EXPECT_FLOAT_EQ(uv.u0, 0.5f / 16.0f);
    EXPECT_FLOAT_EQ(uv.u1, 7.5f / 16.0f);
    EXPECT_FLOAT_EQ(uv.v1, 3.5f / 16.0f);
}

// ---- From the kit to the file ----

TEST(MeshFile, ScaledWeldedAndGrouped) {
    Mesh m;
    const int mat = m.AddMaterial(PlainMaterial("paint"));
    m.Use(m.AddGroup("a", mat));
    const Corner c0{{0, 0, 0}, {0, 0, 1}, {0, 0}}, c1{{1, 0, 0}, {0, 0, 1}, {1, 0}}, c2{{1, 1, 0}, {0, 0, 1}, {1, 1}},
        c3{{0, 1, 0}, {0, 0, 1}, {0, 1}};
    m.AddQuad(Xform(), c0, c1, c2, c3);
    m.Use(m.AddGroup("b", -1));
    m.AddTriangle(Move(0, 0, 5), c0, c1, c1);  // no area: dropped
    m.AddTriangle(Move(0, 0, 5), c0, c1, c2);
    const Ms3dModelDesc d = m.ToMs3d(0.5f);
    EXPECT_EQ(d.vertices.size(), 4u + 3u);  // the quad's diagonal is shared
    ASSERT_EQ(d.triangles.size(), 3u);
    ASSERT_EQ(d.groups.size(), 2u);
    EXPECT_EQ(d.groups[0].triangles.size(), 2u);
    EXPECT_EQ(d.groups[0].material, 0);
    EXPECT_EQ(d.groups[1].material, -1);
    EXPECT_EQ(d.triangles[2].group, 1);
    // Lengths are divided by the scale the saver will multiply them by.
    const auto& far = d.vertices[d.triangles[2].vertices[2]].position;
    EXPECT_FLOAT_EQ(far[0], 2.0f);
    EXPECT_FLOAT_EQ(far[2], 10.0f);
    // Texture t is stored as v, measured from the picture's top.
    EXPECT_FLOAT_EQ(d.triangles[0].t[2], 1.0f);
    EXPECT_THROW(m.ToMs3d(0.0f), BakeError);
    EXPECT_THROW(m.Use(7), BakeError);
}

// ---- The baked files ----
// What they hold is the resource check's business; these catch what it cannot.

// The same bytes on every run, and as the build baked them in another process.
TEST(BakedModels, SameBytesOnEveryRunAndAsTheBuildBaked) {
    for (const BakedFile& f : kFiles) {
        const std::string path = std::string(FROSTVALE_BAKED_DIR) + "/" + f.name;
        SCOPED_TRACE(path);
        const Bytes bytes = BuildLumpFile(f.build());
        EXPECT_EQ(BuildLumpFile(f.build()), bytes);
        std::ifstream in(path, std::ios::binary);
        if (!in) GTEST_SKIP() << "no baked folder";
        EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), bytes);
    }
}

TEST(BakedModels, EveryModelIsClosedWithOutwardNormals) {
    // The saver culls back faces on houses and trees: a hole or an inside-out
    // part would show as a gap or a black face.
    std::vector<std::pair<std::string, Mesh>> meshes = {
        {"tree", TreeMesh()}, {"rare tree", RareTreeMesh()}, {"sleigh", SleighMesh()}, {"presents", PresentsMesh()}};
    for (int k = 0; k < kHouseModelCount; ++k) meshes.emplace_back("house " + std::to_string(k), HouseMesh(k));
    for (const auto& [name, m] : meshes) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ClosedAndConsistent(m));
        EXPECT_GT(SignedVolume(m), 0.0f);
    }
}
