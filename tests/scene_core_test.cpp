// The scene as a whole: set-up and clean-up, the delivery state machine, the
// camera's shots and cuts, the sky's clouds, stars and ground, the trace.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assets/resfile.h"
#include "engine/ssmain.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "scene/trace.h"
#include "scene/xmasmain.h"
#include "tests/gl_pictures.h"
#include "tests/scratch.h"
#include "tools/common/lumpwriter.h"
#include "tools/common/ms3dwriter.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 64;
constexpr int kHeight = 64;

// One offscreen context for the whole program, with the view's projection.
OffscreenContext* Gl() {
    static std::unique_ptr<OffscreenContext> context = [] {
        std::string error;
        auto c = OffscreenContext::Create(kWidth, kHeight, &error);
        if (c) {
            glViewport(0, 0, kWidth, kHeight);
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GL_LEQUAL);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(45.0, 1.0, 1.0, 400.0);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            SetSharedSceneState();
        }
        return c;
    }();
    if (context) context->MakeCurrent();
    return context.get();
}

#define REQUIRE_GL() \
    if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context"

// `why`: the set-up's one line when it fails.
std::unique_ptr<XMASMAIN> BuildScene(const std::string& folder, unsigned seed, bool* ok,
                                     const SETTINGS& settings = SETTINGS{}, std::string* why = nullptr) {
    std::srand(seed);
    EngineContext setup;
    auto scene = std::make_unique<XMASMAIN>(&setup);
    *ok = scene->SetupAll(&settings, (folder + "/").c_str());
    scene->context = nullptr;  // the set-up is over and `setup` goes
    if (why != nullptr) *why = setup.error.Line();
    return scene;
}

// A scene on the baked resources, shared read-only by the tests that only
// look at what set-up built (building one generates the cloud texture); a
// test that changes a scene builds its own.
const XMASMAIN& SharedScene() {
    static const std::unique_ptr<XMASMAIN> scene = [] {
        bool ok = false;
        auto s = BuildScene(FROSTVALE_BAKED_DIR, 1, &ok);
        EXPECT_TRUE(ok);
        return s;
    }();
    return *scene;
}

// ---------------------------------------------------------------------------
// Clouds, no GL

// The cloud texture repeats over the sky: its opposite edges must meet as
// smoothly as any two neighbouring rows or columns inside it.
TEST(Clouds, GeneratedImageTilesWithoutASeam) {
    for (unsigned seed : {3u, 7u, 11u}) {
        std::srand(seed);
        const int n = 512;
        // A cutoff above every value keeps the raw field (all 255 would hide a seam).
        const std::vector<unsigned char> raw = XMASMAIN::CloudPixels(32, n, 0, 0.002f);
        ASSERT_EQ(raw.size(), static_cast<std::size_t>(n * n));
        double wrapX = 0, wrapY = 0, inner = 0;
        for (int i = 0; i < n; ++i) {
            wrapX += std::abs(raw[0 + i * n] - raw[n - 1 + i * n]);
            wrapY += std::abs(raw[i] - raw[i + (n - 1) * n]);
            inner += std::abs(raw[n / 2 + i * n] - raw[n / 2 - 1 + i * n]);
        }
        EXPECT_GT(inner, 0.0);
        EXPECT_LT(wrapX, 2.0 * inner + n) << seed;
        EXPECT_LT(wrapY, 2.0 * inner + n) << seed;
    }
}

// Seeded runs must draw the same sky; after the curve every texel is 255, 0
// or on the ramp between.
TEST(Clouds, SameSeedSameImageAndTheCurveApplies) {
    std::srand(5);
    const auto a = XMASMAIN::CloudPixels(8, 64, 60, 0.05f);
    std::srand(5);
    EXPECT_EQ(a, XMASMAIN::CloudPixels(8, 64, 60, 0.05f));
    std::set<int> ramp;
    for (int c = 0; c <= 20; ++c) ramp.insert(static_cast<int>(255 - 12.75 * c));
    for (int v : std::set<int>(a.begin(), a.end())) EXPECT_TRUE(ramp.count(v)) << v;
    EXPECT_NE(std::count(a.begin(), a.end(), 255), 0);
    EXPECT_TRUE(XMASMAIN::CloudPixels(0, 64, 60, 0.05f).empty());
    const int curve[][2] = {{60, 127}, {50, 255}, {0, 255}, {75, 0}, {255, 0}};
    for (const auto& [in, out] : curve) EXPECT_EQ(XMASMAIN::CloudExpCurve(in, 50, 0.05f), out) << in;
}

// ---------------------------------------------------------------------------
// Sky motion, no GL

// The clouds' offsets stay between 0 and 1, the ground's scroll within one
// tile pitch (120).
TEST(Sky, CloudsAndGroundScrollWrap) {
    XMASMAIN scene;
    scene.frameTime = 0.0;
    scene.cloudOffsetU = 1.004f;
    scene.cloudOffsetV = -0.002f;
    scene.MoveSky();
    EXPECT_NEAR(scene.cloudOffsetU, 0.004f, 1e-6f);
    EXPECT_NEAR(scene.cloudOffsetV, 0.998f, 1e-6f);

    // The drift turns about z at 2 degrees a second.
    scene.frameTime = 22.5;
    scene.MoveSky();
    EXPECT_NEAR(scene.cloudDrift.x, -std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(scene.cloudDrift.y, std::sqrt(0.5f), 1e-5f);
    EXPECT_GE(scene.cloudOffsetU, 0.0f);
    EXPECT_LE(scene.cloudOffsetU, 1.0f);

    scene.showTrees = false;
    scene.frameTime = 1.0 / 60.0;
    for (int i = 0; i < 60 * 30; ++i) {
        scene.MoveBackground();
        ASSERT_LE(scene.groundScroll.z, 0.0f);
        ASSERT_GE(scene.groundScroll.z, -120.0f);
    }
    // 750 units = 6 tiles and 30: the scroll is at -30.
    EXPECT_NEAR(scene.groundScroll.z, -30.0f, 0.05);
    EXPECT_EQ(scene.groundScroll.x, 0.0f);
    EXPECT_EQ(scene.groundScroll.y, 0.0f);
}

TEST(Sky, FadedStarMovesAndFadesInTheSameFrame) {
    XMASMAIN scene;
    scene.starCount = 3;
    std::srand(9);
    ASSERT_TRUE(scene.SetupStars());
    for (const ONEPARTICLE& star : scene.stars) {
        EXPECT_NEAR(VectorLength(star.position), 100.0, 1e-3);
        EXPECT_GE(star.position.y, -10.0f);
        EXPECT_GE(star.alpha, 1.0f);
        EXPECT_LT(star.alpha, 11.0f);
    }
    EXPECT_GE(scene.moonSize, 4.0f);
    EXPECT_LT(scene.moonSize, 10.0f);
    EXPECT_GT(scene.moon.position.y, 100.0f * std::sin(20.0f * 3.14159265f / 180.0f));

    ONEPARTICLE& star = scene.stars[1];
    star.alpha = 0.01f;
    const VECTOR3D before = star.position;
    scene.frameTime = 0.02;
    scene.MoveSky();
    EXPECT_LT(star.alpha, 0.0f);
    EXPECT_EQ(star.rate, 1.0f);
    EXPECT_GT(VectorLength(SubtractVectors(star.position, before)), 0.0);
    // It fades in, then takes a new brightness and fades again once past 1.
    scene.frameTime = 1.5;
    scene.MoveSky();
    EXPECT_GE(star.alpha, 1.0f);
    EXPECT_EQ(star.rate, -1.0f);
}

// ---------------------------------------------------------------------------
// Delivery state machine on the real riders

class Delivery : public ::testing::Test {
protected:
    void SetUp() override { Build(3); }
    void Build(unsigned seed) {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        bool ok = false;
        scene = BuildScene(FROSTVALE_BAKED_DIR, seed, &ok);
        ASSERT_TRUE(ok);
        scene->frameTime = 1.0 / 60.0;
    }
    std::unique_ptr<XMASMAIN> scene;
};

// The whole cycle flown frame by frame: the first flight lasts 20 s; Santa
// lands with the target chimney 5 units to his -x side, level with him along
// the flight line, so that his drop clips reach it; a present is in the hand
// while he drops it and gone after; a longer cruise follows the take-off,
// whatever order the random draws come in. (Vertically the sleigh rides 1
// above the lead reindeer, which starts at y -1, so the chimney top comes out
// about 1 below Santa's origin; the bound only catches a chimney offset gone wrong.)
TEST_F(Delivery, RunGoesRoundTheCycle) {
    for (unsigned seed : {7u, 12u}) {
        SCOPED_TRACE(seed);
        ASSERT_NO_FATAL_FAILURE(Build(seed));
        std::vector<int> states = {scene->animState};
        std::map<int, PRESENT> heldAtStep;  // the present in hand at each delivery step
        bool onRoof = false;
        double cruisedFor = -1.0;  // scene time when the first approach began
        for (int i = 0; i < 60 * 300 && states.size() < 5; ++i) {
            scene->MoveScene(1.0 / 60.0);
            const bool cruising = scene->animState == ANIM_FLYING && scene->targetHouse == -1;
            if (!cruising && cruisedFor < 0.0) cruisedFor = scene->sceneTime;
            if (scene->animState != states.back()) states.push_back(scene->animState);
            if (scene->animState != ANIM_DELIVER) continue;
            if (scene->animStep >= 2 && !onRoof) {
                onRoof = true;
                const ONEHOUSE& house = scene->houses[static_cast<std::size_t>(scene->targetHouse)];
                const VECTOR3D top = AddVectors(house.position, house.chimney);
                const VECTOR3D gap = SubtractVectors(top, scene->santa->position);
                EXPECT_NEAR(gap.x, -5.0f, 0.1f);
                EXPECT_NEAR(gap.y, 0.0f, 2.0f);
                EXPECT_NEAR(gap.z, 0.0f, 0.1f);
            }
            heldAtStep.try_emplace(scene->animStep, scene->heldPresent);
        }
        EXPECT_GE(cruisedFor, 20.0) << "the first flight lasts 20 s";
        EXPECT_EQ(states, (std::vector<int>{ANIM_FLYING, ANIM_APPROACH, ANIM_DELIVER, ANIM_TAKEOFF, ANIM_FLYING}));
        EXPECT_EQ(scene->targetHouse, -1);
        EXPECT_EQ(scene->heldPresent.active, 0);
        ASSERT_TRUE(onRoof);
        ASSERT_TRUE(heldAtStep.count(3));
        ASSERT_TRUE(heldAtStep.count(4));
        const PRESENT& drop = heldAtStep.at(3);
        EXPECT_EQ(drop.active, 1);
        EXPECT_LT(drop.textureIndex, 10);
        EXPECT_LT(drop.modelIndex, scene->presentModelCount);
        EXPECT_EQ(heldAtStep.at(4).active, 0);
        // Cruising again: the elf's loop blended in, and a longer flight drawn.
        EXPECT_FLOAT_EQ(scene->elf->startTime, 0.0f);  // the cruise loop starts on frame 0
        EXPECT_TRUE(scene->elf->loop);
        EXPECT_TRUE(scene->elf->blending);
        EXPECT_GE(scene->animTimer, 30.0f);
        EXPECT_LT(scene->animTimer, 150.0f);
    }
}

TEST_F(Delivery, BothDropsComeUpAndAnUnknownStateDoesNothing) {
    std::set<float> starts;
    for (unsigned seed = 1; seed <= 16 && starts.size() < 2; ++seed) {
        scene->animState = ANIM_DELIVER;
        scene->animStep = 2;
        scene->heldPresent.active = 1;
        scene->santa->currentTime = scene->santa->endTime = 100.0f;
        std::srand(seed);
        scene->AnimControl();
        starts.insert(scene->santa->startTime);
    }
    EXPECT_EQ(starts.size(), 2u);

    scene->animState = 3;
    scene->animStep = 0;
    const float timer = scene->animTimer;
    scene->AnimControl();
    EXPECT_EQ(scene->animState, 3);
    EXPECT_EQ(scene->animStep, 0);
    EXPECT_EQ(scene->animTimer, timer);
}

// ---------------------------------------------------------------------------
// Camera

class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        s = scene.get();
        s->animState = ANIM_FLYING;
        s->frameTime = 1.0 / 60.0;
        s->presents[0].active = 0;
        s->presents[0].stage = kPresentUnused;
    }
    void Call() {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        s->MoveCamera();
    }
    // Starts a new shot now.
    void Cut() {
        s->cameraTimer = -1.0f;
        Call();
    }
    // The camera reads only the sleigh, the lead, the presents and the
    // world's motion: a scene with nothing set up serves.
    std::unique_ptr<XMASMAIN> scene = std::make_unique<XMASMAIN>();
    XMASMAIN* s = nullptr;
};

// A new shot is any of the nine kinds, except that the chase (4) never
// follows shot 6. Shots 6 to 8 run 20 s plus whole seconds up to 59 more, the
// others 20 s; the cut flag lasts one call; a held shot replaces every new one.
TEST_F(Camera, NewShotsTheirLengthsAndHeldShots) {
    std::map<int, int> after[2];  // after shot 5, after shot 6
    std::vector<float> fixedExtras, drawnExtras;  // seconds past 20: shots 0-5, shots 6-8
    s->frameTime = 0.0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        for (int from : {5, 6}) {
            std::srand(seed);
            s->cameraMode = from;
            Cut();
            ASSERT_TRUE(s->cameraCut);
            const int mode = s->cameraMode;
            ++after[from - 5][mode];
            (mode >= 6 ? drawnExtras : fixedExtras).push_back(s->cameraTimer - 20.0f);
            Call();
            EXPECT_FALSE(s->cameraCut);
        }
    }
    for (float extra : fixedExtras) EXPECT_EQ(extra, 0.0f);
    for (float extra : drawnExtras) {
        EXPECT_GE(extra, 0.0f);
        EXPECT_LE(extra, 59.0f);
        EXPECT_EQ(extra, std::floor(extra));
    }
    EXPECT_EQ(after[1].count(4), 0u);
    EXPECT_EQ(after[1].size(), 8u);  // every other kind, 6 itself included
    EXPECT_EQ(after[0].size(), 9u);  // the chase can follow anything else
    for (int shot = 0; shot < kCameraShots; ++shot) {
        s->inputs.heldShot = shot;
        s->cameraMode = 6;
        Cut();
        EXPECT_EQ(s->cameraMode, shot);
    }
}

// The ground shot stands on the ground 375 ahead, up to 100 to either side,
// rides with the world and goes back ahead once 400 behind.
TEST_F(Camera, GroundPointStartsAheadAndRecyclesBehind) {
    s->inputs.heldShot = 7;
    s->worldVelocity = {0.0f, 0.0f, -25.0f};
    s->worldOffset = {0.0f, 3.0f, 0.0f};
    s->frameTime = 0.0;
    std::set<bool> sides;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::srand(seed);
        Cut();
        const float x = s->cameraEye.x;
        EXPECT_GE(x, -100.0f);
        EXPECT_LT(x, 100.0f);
        sides.insert(x < 0.0f);
        EXPECT_EQ(s->cameraEye.y, 3.0f - 35.0f);
        EXPECT_EQ(s->cameraEye.z, 375.0f);
    }
    EXPECT_EQ(sides.size(), 2u);

    s->frameTime = 1.0;
    Call();
    EXPECT_EQ(s->cameraEye.z, 350.0f);
    s->cameraEye.z = -390.0f;
    Call();
    EXPECT_EQ(s->cameraEye.z, 375.0f);
    EXPECT_EQ(s->cameraMode, 7);
}

TEST_F(Camera, OrbitNeverSinksBelowTheFloor) {
    s->groundScroll.y = -4.0f;
    for (int mode : {0, 1}) {
        s->cameraMode = mode;
        s->cameraTimer = 10.0f;
        s->cameraSpin = {0.0f, 10.0f, 0.0f};
        s->cameraEye = {20.0f, -80.0f, 0.0f};
        Call();
        EXPECT_EQ(s->cameraEye.y, -54.0f);
        // Only y is raised; the spin still turned the eye about y.
        EXPECT_LT(s->cameraEye.x, 20.0f);
        EXPECT_NE(s->cameraEye.z, 0.0f);
    }
    s->groundScroll.y = 0.0f;
}

// Without a present in flight the present shots look ahead from beside the
// sleigh; a thrown one (stage > 0) is followed, a waiting one (stage 0) is not.
TEST_F(Camera, PresentShotsFollowOnlyAThrownPresent) {
    s->sleighPos = {1.0f, 2.0f, 3.0f};
    s->cameraTimer = 30.0f;
    PRESENT& p = s->presents[0];
    p.position = {10.0f, 0.0f, 20.0f};
    p.matrix = MatrixFromAngle({0.0f, 0.0f, 180.0f});  // upside down
    const struct {
        int mode, active, stage;
        VECTOR3D eye, target;
    } cases[] = {
        {6, 0, kPresentUnused, {1, 6, -7}, {1, 6, 33}},
        {8, 0, kPresentUnused, {1, 8, -4}, {1, 3, 1}},
        {8, 1, kPresentWaiting, {1, 8, -4}, {1, 3, 1}},
        {8, 1, kPresentThrown, {9, 2, 23}, {10, 0, 20}},
        {6, 1, kPresentThrown, {1, 6, -7}, {10, 0, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "shot " << c.mode << " stage " << c.stage);
        s->cameraMode = c.mode;
        p.active = c.active;
        p.stage = c.stage;
        Call();
        EXPECT_NEAR(VectorLength(SubtractVectors(s->cameraEye, c.eye)), 0.0, 1e-4);
        EXPECT_NEAR(VectorLength(SubtractVectors(s->cameraTarget, c.target)), 0.0, 1e-4);
        EXPECT_NEAR(s->cameraUp.y, 1.0f, 1e-4f);  // upright even over an upturned present
    }
    s->sleighPos = {0.0f, 0.0f, 0.0f};
}

TEST_F(Camera, PresentShotsEndWhenTheSleighLeavesCruising) {
    for (int mode : {6, 8}) {
        s->cameraMode = mode;
        s->cameraTimer = 30.0f;
        s->animState = ANIM_DELIVER;
        Call();
        EXPECT_EQ(s->cameraTimer, 0.0f);
        EXPECT_FALSE(s->cameraCut);
        Call();
        EXPECT_TRUE(s->cameraCut) << "a new shot at the next call";
    }
    // Other shots run their time.
    s->cameraMode = 3;
    s->cameraTimer = 30.0f;
    Call();
    EXPECT_GT(s->cameraTimer, 29.0f);
}

// ---------------------------------------------------------------------------
// The coarse ground of light quality, no GL

// The baked ground tile, in scene units; false when it cannot be read.
bool LoadGroundTile(MS3D* tile) {
    RESFILE file;
    const std::string path = std::string(FROSTVALE_BAKED_DIR) + "/" + kGroundModel.file;
    if (!file.Open(path.c_str())) return false;
    SetupError why;
    if (!ReadModelLump(&file, kGroundModel.file, kGroundModel.lump, tile, &why)) return false;
    tile->Scale(kGroundModel.scale);
    return true;
}

// Where the corners of a tile's triangles stand: height by (x, z).
std::map<std::pair<float, float>, float> CornerHeights(const MS3D& tile) {
    std::map<std::pair<float, float>, float> heights;
    for (const MS3D_TRIANGLE& t : tile.triangles) {
        for (std::uint16_t v : t.vertexIndices) {
            const VECTOR3D p = tile.vertices[v].position;
            heights[{p.x, p.z}] = p.y;
        }
    }
    return heights;
}

// A ninth of the triangles, standing on the fine tile's own grid points, so
// coarse tiles meet each other as the fine ones do: at every edge point the
// opposite edge has a point at the same height.
TEST(CoarseGround, ANinthOfTheTrianglesOnTheFineGridAndItsEdgesMeet) {
    MS3D tile;
    ASSERT_TRUE(LoadGroundTile(&tile));
    const std::size_t fine = tile.triangles.size();
    const auto fineHeights = CornerHeights(tile);
    ASSERT_TRUE(CoarsenGroundTile(&tile, 3));
    EXPECT_EQ(tile.triangles.size(), fine / 9);
    EXPECT_EQ(tile.groups[0].triangleIndices.size(), fine / 9);
    const auto heights = CornerHeights(tile);
    EXPECT_EQ(heights.size(), 36u);  // 6 x 6 grid points of 5 x 5 cells
    for (const auto& [at, y] : heights) EXPECT_EQ(fineHeights.at(at), y);

    std::set<float> xs, zs;  // the coarse grid lines
    for (const auto& [at, y] : heights) {
        xs.insert(at.first);
        zs.insert(at.second);
    }
    for (float z : zs) {
        EXPECT_EQ(heights.at({*xs.begin(), z}), heights.at({*xs.rbegin(), z})) << "the x edges, at z " << z;
    }
    for (float x : xs) {
        EXPECT_EQ(heights.at({x, *zs.begin()}), heights.at({x, *zs.rbegin()})) << "the z edges, at x " << x;
    }
    for (const MS3D_TRIANGLE& t : tile.triangles) {
        const VECTOR3D a = tile.vertices[t.vertexIndices[0]].position;
        const VECTOR3D face = VectorCrossProduct(SubtractVectors(tile.vertices[t.vertexIndices[1]].position, a),
                                                 SubtractVectors(tile.vertices[t.vertexIndices[2]].position, a));
        EXPECT_GT(face.y, 0.0f) << "faces up, towards the sky";
    }
}

// A step that does not divide the cells leaves the tile as it was.
TEST(CoarseGround, AStepThatDoesNotDivideTheCellsChangesNothing) {
    MS3D tile;
    ASSERT_TRUE(LoadGroundTile(&tile));
    const std::size_t fine = tile.triangles.size();
    EXPECT_FALSE(CoarsenGroundTile(&tile, 4));
    EXPECT_EQ(tile.triangles.size(), fine);
}

// ---------------------------------------------------------------------------
// Set-up and clean-up

// The lumps of a resource file as the lump writer takes them; none when unreadable.
std::vector<Lump> ReadLumps(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    RESFILE file;
    std::vector<Lump> lumps;
    if (!file.Open(path.c_str())) return lumps;
    for (const RESENTRY& e : file.directory) {
        lumps.push_back({Bytes(bytes.begin() + e.offset, bytes.begin() + e.offset + e.size), e.type, e.alphaMode});
    }
    return lumps;
}

// A one-triangle model with `joints` chained joints and `groups` groups (the
// triangle only when there is a group to hold it).
Bytes TinyModel(int joints, int groups) {
    Ms3dModelDesc m;
    for (int i = 0; i < 3; ++i) {
        Ms3dVertexDesc v;
        v.position = {static_cast<float>(i == 1), static_cast<float>(i == 2), 0.0f};
        v.joint = joints > 0 ? 0 : -1;
        m.vertices.push_back(v);
    }
    for (int g = 0; g < groups; ++g) m.groups.push_back({"g" + std::to_string(g), {}, -1, 0});
    if (groups > 0) AddFlatTriangle(&m, 0, {0, 1, 2}, {0, 1, 0}, {0, 0, 1});
    for (int j = 0; j < joints; ++j) {
        Ms3dJointDesc joint;
        joint.name = "j" + std::to_string(j);
        joint.parent = j == 0 ? "" : "j0";
        m.joints.push_back(joint);
    }
    return EncodeMs3d(m);
}

// Writes `lumps` as the resource file `name` in `dir`.
bool WriteLumps(const fs::path& dir, const std::string& name, const std::vector<Lump>& lumps) {
    std::string error;
    return WriteFileAtomically((dir / name).string(), BuildLumpFile(lumps), &error);
}

class SetupFailures : public ::testing::Test {
protected:
    // A fresh copy of the baked folder, to cut down.
    void SetUp() override {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        for (const auto& entry : fs::directory_iterator(FROSTVALE_BAKED_DIR)) {
            if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
        }
    }
    // Sets up a scene on the folder: it must fail, with a one-line note naming
    // `what`, and clean up (twice) to nothing.
    void ExpectFailure(const std::string& what) {
        bool ok = true;
        std::string note;
        auto scene = BuildScene(folder.string(), 1, &ok, SETTINGS{}, &note);
        EXPECT_FALSE(ok);
        EXPECT_NE(note.find(what), std::string::npos) << note;
        EXPECT_EQ(note.find('\n'), std::string::npos) << note;
        scene->CleanupAll();
        scene->CleanupAll();
        EXPECT_TRUE(scene->textures.empty());
        EXPECT_EQ(scene->santa, nullptr);
        EXPECT_EQ(scene->skyList, 0u);
    }
    TempDir scratch;
    const fs::path folder = scratch.path();
};

// Files short of what the scene holds on to, one part each: the scene's
// pictures, riders without their hand joints, a team short of coats or legs,
// a ground without groups, houses without a chimney joint or a picture,
// presents without a shape or wrappings, firs cut short. (A missing or
// damaged file is refused through the saver itself, in resource_files_test.sh.)
TEST_F(SetupFailures, FilesShortOfWhatTheSceneNeeds) {
    using Lumps = std::vector<Lump>;
    const auto keep = [](std::size_t n) { return [n](Lumps* l) { l->resize(n); }; };
    const auto model = [](std::size_t lump, int joints, int groups) {
        return [=](Lumps* l) { (*l)[lump].bytes = TinyModel(joints, groups); };
    };
    const struct {
        const char* file;
        std::function<void(Lumps*)> damage;
        const char* note;
    } cases[] = {
        {"tex.brm", keep(6), "tex.brm: has 6 images, needs 7"},
        {"tex.brm",
         [](Lumps* l) {
             l->resize(6);
             l->push_back({TinyModel(0, 1), kLumpTypeModel, 0});
         },
         "tex.brm: lump 6 is not an image"},
        {"santa.brm", model(0, 15, 1), "santa.brm: has 15 joints, needs 16"},
        {"elf.brm", model(0, 9, 1), "elf.brm: has 9 joints, needs 10"},
        {"reindeer.brm", keep(9), "reindeer.brm: has 8 images, needs 10"},
        {"reindeer.brm", model(0, 4, 1), "reindeer.brm: has 4 joints, needs 11"},
        {"other.brm", model(0, 0, 0), "other.brm: the ground model has no groups"},
        {"houses.brm", keep(8), "houses.brm: has 8 lumps, needs 9"},
        {"houses.brm", model(1, 1, 1), "houses.brm: model 1 has 1 joints, needs 2"},
        {"houses.brm", [](Lumps* l) { (*l)[4] = (*l)[0]; }, "houses.brm: lump 4 is not a readable image"},
        {"presents.brm", keep(10), "presents.brm: has 9 images, needs 10"},
        {"presents.brm", model(0, 0, 0), "presents.brm: has no present shape"},
        {"other.brm", keep(3), "other.brm: has 3 lumps"},
        {"other.brm", [](Lumps* l) { (*l)[1].bytes.resize(40); }, "other.brm: lump 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        const Lumps original = ReadLumps((folder / c.file).string());
        ASSERT_FALSE(original.empty());
        Lumps lumps = original;
        c.damage(&lumps);
        ASSERT_TRUE(WriteLumps(folder, c.file, lumps));
        ExpectFailure(c.note);
        ASSERT_TRUE(WriteLumps(folder, c.file, original));
    }
}

// Without stars the sky is still set up and drawn; clean-up lets its picture
// go. (Set-up honours the star count; a whole scene cleaned up twice is the
// frame driver's test.)
TEST(SceneSetup, NoStarsStillSetsUpTheSkyAndCleanUpFreesIt) {
    REQUIRE_GL();
    EXPECT_EQ(static_cast<int>(SharedScene().stars.size()), SETTINGS{}.NUM_STARS);
    SETTINGS settings;
    settings.NUM_STARS = 0;
    bool ok = false;
    auto scene = BuildScene(FROSTVALE_BAKED_DIR, 2, &ok, settings);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(scene->stars.empty());
    EXPECT_GE(scene->moonSize, 4.0f);
    scene->MoveScene(1.0 / 60.0);
    scene->MoveCamera();
    scene->frustum = ExtractFrustum();
    scene->DrawScene();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const GLuint sky = scene->skyTexture;
    EXPECT_TRUE(glIsTexture(sky));
    scene->CleanupAll();
    EXPECT_FALSE(glIsTexture(sky));
    EXPECT_EQ(scene->skyTexture, 0u);
}

// The moon's quad faces the eye and lies where its offset says.
TEST(SkyDrawing, MoonShowsWhereItIs) {
    REQUIRE_GL();
    bool ok = false;
    auto owned = BuildScene(FROSTVALE_BAKED_DIR, 1, &ok);
    ASSERT_TRUE(ok);
    XMASMAIN& scene = *owned;
    scene.cameraEye = {0.0f, 0.0f, 0.0f};
    // Without the cloud cone, which may cover the moon.
    auto centreOfView = [&scene](VECTOR3D target) {
        scene.cameraTarget = target;
        const GLuint sky = scene.skyList;
        scene.skyList = 0;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 0, 0, target.x, target.y, target.z, 0, 1, 0);
        scene.frustum = ExtractFrustum();
        glEnable(GL_TEXTURE_2D);
        scene.DrawSky();
        glDisable(GL_TEXTURE_2D);
        scene.skyList = sky;
        glFinish();
        return testpics::At(Gl()->ReadPixels(), kWidth, kWidth / 2, kHeight / 2).r;
    };
    // Away from the moon, below the horizon: nothing there.
    EXPECT_LT(centreOfView({-scene.moon.position.x, -100.0f, -scene.moon.position.z}), 20);
    EXPECT_GT(centreOfView(scene.moon.position), 100);
}

// The snow of the art direction: blue in the shade, whiter as the view
// steepens, white where a top-down view overexposes it.
TEST(SkyDrawing, GroundIsBlueWhiteSnowFromGrazingToTopDown) {
    REQUIRE_GL();
    const XMASMAIN& scene = SharedScene();
    double previous = 0;
    for (double elevation : {12.0, 25.0, 45.0, 90.0}) {
        SCOPED_TRACE(elevation);
        const double a = elevation * 3.14159265358979 / 180.0;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 80 * std::sin(a), 80 * std::cos(a), 0, 0, 0, 0, 0, -1);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glEnable(GL_LIGHTING);
        glColor4f(1, 1, 1, 1);
        glCallList(scene.groundList);
        // Whatever is drawn next must not inherit the ground's colour or glow.
        GLfloat colour[4], emission[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
        EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
        EXPECT_EQ(emission[0] + emission[1] + emission[2], 0.0f);
        glFinish();
        const auto pixels = Gl()->ReadPixels();
        double mean[3] = {0, 0, 0};
        for (int y = kHeight / 2 - 8; y < kHeight / 2 + 8; ++y) {
            for (int x = kWidth / 2 - 8; x < kWidth / 2 + 8; ++x) {
                for (int k = 0; k < 3; ++k) mean[k] += pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4 + k] / 256.0;
            }
        }
        // Never darker than the deep shade (7D 93 B8), blue at least as strong as green, green as red.
        EXPECT_GE(mean[0], 0x7D - 24) << mean[0] << " " << mean[1] << " " << mean[2];
        EXPECT_GE(mean[2] + 1, mean[1]);
        EXPECT_GE(mean[1] + 1, mean[0]);
        EXPECT_GE(mean[2] + 0.5, previous) << "brighter as the view steepens";
        previous = mean[2];
    }
    EXPECT_GE(previous, 0xEE);  // straight down: lit snow
}

// ---------------------------------------------------------------------------
// Trace

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const auto eq = word.find('=');
        if (eq != std::string::npos) fields[word.substr(0, eq)] = word.substr(eq + 1);
    }
    return fields;
}

TEST(Trace, LineNamesEveryFieldAndNothingIsWrittenNowhere) {
    XMASMAIN scene;
    scene.sceneTime = 1.5;
    scene.cameraMode = 7;
    scene.cameraCut = true;
    scene.presents[2].active = 1;
    scene.presents[2].stage = kPresentThrown;
    scene.sparkles[4].alpha = 0.5f;
    char line[1024];
    const int length = FormatTraceLine(line, sizeof line, 12, scene);
    ASSERT_GT(length, 0);
    ASSERT_LT(length, static_cast<int>(sizeof line));
    const auto f = Fields(line);
    const char* keys[] = {"frame", "t", "dt", "state", "step", "timer", "shot", "cut", "camtimer", "eye", "target",
                          "target_house", "vel", "offset", "sleigh", "lead", "bob", "ground", "sparkles",
                          "presents", "flying", "next", "hand", "held", "santa_t", "elf_t"};
    EXPECT_EQ(f.size(), std::size(keys));
    for (const char* key : keys) EXPECT_EQ(f.count(key), 1u) << key;
    // (The first fields' layout is held by scene_cli_test.sh on the saver's first line.)
    const std::pair<const char*, const char*> values[] = {
        {"target_house", "-1"}, {"eye", "30.0000,10.0000,0.0000"}, {"vel", "0.0000,0.0000,-25.0000"},
        {"sparkles", "1"}, {"presents", "1"}, {"flying", "1"}};
    for (const auto& [key, value] : values) EXPECT_EQ(f.at(key), value) << key;
    // A line cut short by the buffer is reported as longer than it.
    EXPECT_GE(FormatTraceLine(line, 16, 12, scene), 16);
    // A file that cannot be opened takes no lines (the saver's --trace shows the rest).
    TraceWriter nowhere;
    EXPECT_FALSE(nowhere.Open("/nonexistent-folder/trace.txt"));
    EXPECT_FALSE(nowhere.Write(scene));
}
}  // namespace
