// The scene as a whole: set-up and clean-up, the delivery state machine, the
// camera's shots and cuts, the sky's clouds, stars and ground, the trace.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/ssmain.h"
#include "host/options.h"
#include "math/frustum.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "scene/trace.h"
#include "scene/xmasmain.h"
#include "tests/scene_fixtures.h"

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

// A scene on the baked resources, shared by the tests that only move fields
// about (building one generates the cloud texture).
XMASMAIN& SharedScene() {
    static std::unique_ptr<XMASMAIN> scene = [] {
        bool ok = false;
        auto s = BuildScene(FROSTVALE_BAKED_DIR, 1, &ok);
        EXPECT_TRUE(ok);
        return s;
    }();
    return *scene;
}

// One frame as the frame driver runs it.
void Frame(XMASMAIN& scene, double dt) {
    scene.MoveScene(dt);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.MoveCamera();
    scene.MoveSnow();
    ExtractFrustum();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glPushMatrix();
    scene.DrawScene();
    glPopMatrix();
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
}

float FramesToMs(const XMASMAIN& scene, int which, double frame) {
    return static_cast<float>(frame * 1000 / scene.animTemplates[static_cast<std::size_t>(which)].animationFps);
}

// ---------------------------------------------------------------------------
// Clouds, no GL

TEST(Clouds, SmoothTexAveragesFourNeighboursOverFive) {
    std::vector<unsigned char> src(16 * 16, 100), dst(16 * 16, 0);
    XMASMAIN::SmoothTex(16, dst.data(), src.data());
    for (unsigned char v : dst) ASSERT_EQ(v, 80);

    // A single bright texel spreads to itself and its +x, +y and diagonal
    // neighbours, wrapping at the edges.
    std::fill(src.begin(), src.end(), 0);
    src[15 + 15 * 16] = 250;
    XMASMAIN::SmoothTex(16, dst.data(), src.data());
    EXPECT_EQ(dst[15 + 15 * 16], 50);
    EXPECT_EQ(dst[0 + 15 * 16], 50);
    EXPECT_EQ(dst[15 + 0 * 16], 50);
    EXPECT_EQ(dst[0], 50);
    EXPECT_EQ(dst[14 + 15 * 16], 0);
    int lit = 0;
    for (unsigned char v : dst) lit += v != 0;
    EXPECT_EQ(lit, 4);
}

TEST(Clouds, ExpCurveCutsOffLinearly) {
    EXPECT_EQ(XMASMAIN::CloudExpCurve(60, 50, 0.05f), 127);
    EXPECT_EQ(XMASMAIN::CloudExpCurve(50, 50, 0.05f), 255);
    EXPECT_EQ(XMASMAIN::CloudExpCurve(0, 50, 0.05f), 255);
    EXPECT_EQ(XMASMAIN::CloudExpCurve(75, 50, 0.05f), 0);
    EXPECT_EQ(XMASMAIN::CloudExpCurve(255, 50, 0.05f), 0);
}

TEST(Clouds, CopyAndEnlargeAtScaleOneTilesTheSource) {
    const int n = 4, big = 12;
    std::vector<unsigned char> src(n * n), dst(big * big, 7);
    for (int i = 0; i < n * n; ++i) src[i] = static_cast<unsigned char>(i * 13 + 5);
    XMASMAIN::CopyAndEnlarge(src.data(), dst.data(), n, big, 1);
    for (int y = 0; y < big; ++y) {
        for (int x = 0; x < big; ++x) ASSERT_EQ(dst[x + y * big], src[x % n + (y % n) * n]) << x << "," << y;
    }
}

TEST(Clouds, CopyAndEnlargeInterpolatesAndWraps) {
    // A ramp 0, 40, 80, 120 along x, constant along y, enlarged 4 times.
    const int n = 4, s = 4, big = 16;
    std::vector<unsigned char> src(n * n), dst(big * big, 0);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) src[x + y * n] = static_cast<unsigned char>(40 * x);
    }
    XMASMAIN::CopyAndEnlarge(src.data(), dst.data(), n, big, s);
    for (int y = 0; y < big; ++y) {
        EXPECT_EQ(dst[0 + y * big], 0);
        EXPECT_EQ(dst[2 + y * big], 20);
        EXPECT_EQ(dst[4 + y * big], 40);
        EXPECT_EQ(dst[12 + y * big], 120);
        // Past the last sample the ramp runs back down to the first, wrapping.
        EXPECT_EQ(dst[14 + y * big], 60);
    }
}

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

TEST(Clouds, SameSeedSameImageAndTheCurveApplies) {
    std::srand(5);
    const auto a = XMASMAIN::CloudPixels(8, 64, 60, 0.05f);
    std::srand(5);
    const auto b = XMASMAIN::CloudPixels(8, 64, 60, 0.05f);
    EXPECT_EQ(a, b);
    // After the curve every texel is 255, 0 or on the ramp between.
    std::set<int> values(a.begin(), a.end());
    std::set<int> ramp;
    for (int c = 0; c <= 20; ++c) ramp.insert(static_cast<int>(255 - 12.75 * c));
    for (int v : values) EXPECT_TRUE(ramp.count(v)) << v;
    EXPECT_TRUE(values.count(255));
    EXPECT_TRUE(XMASMAIN::CloudPixels(0, 64, 60, 0.05f).empty());
}

// ---------------------------------------------------------------------------
// Sky motion, no GL

TEST(SceneDefaults, NothingHeldNothingThrown) {
    XMASMAIN scene;
    for (const PRESENT& p : scene.presents) EXPECT_EQ(p.stage, kPresentUnused);
    EXPECT_EQ(scene.heldPresent.stage, kPresentUnused);
    EXPECT_EQ(scene.heldPresent.active, 0);
    EXPECT_EQ(scene.cameraMode, 1);
    EXPECT_EQ(scene.targetHouse, -1);
    EXPECT_EQ(scene.worldVelocity.z, -25.0f);
}

TEST(Sky, CloudOffsetsStayBetweenZeroAndOne) {
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
}

TEST(Sky, FadedStarMovesAndFadesInTheSameFrame) {
    XMASMAIN scene;
    scene.starCount = 3;
    std::srand(9);
    ASSERT_TRUE(scene.SetupStars());
    for (const ONEPARTICLE& star : scene.stars) {
        EXPECT_NEAR(std::sqrt(star.position.x * star.position.x + star.position.y * star.position.y +
                              star.position.z * star.position.z),
                    100.0, 1e-3);
        EXPECT_GE(star.position.y, -10.0f);
        EXPECT_GE(star.alpha, 1.0f);
        EXPECT_LT(star.alpha, 11.0f);
        EXPECT_EQ(star.rate, -1.0f);
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
    EXPECT_FALSE(star.position.x == before.x && star.position.y == before.y && star.position.z == before.z);
    // It fades in, then takes a new brightness and fades again once past 1.
    scene.frameTime = 1.5;
    scene.MoveSky();
    EXPECT_GE(star.alpha, 1.0f);
    EXPECT_EQ(star.rate, -1.0f);
}

TEST(Sky, GroundScrollWrapsAtTheTilePitch) {
    XMASMAIN scene;
    scene.showTrees = false;
    double travelled = 0.0;
    for (int i = 0; i < 60 * 30; ++i) {
        scene.frameTime = 1.0 / 60.0;
        scene.MoveBackground();
        travelled += 25.0 / 60.0;
        ASSERT_LE(scene.groundScroll.z, 0.0f);
        ASSERT_GE(scene.groundScroll.z, -120.0f);
    }
    // 750 units = 6 tiles and 30: the scroll is at -30.
    EXPECT_NEAR(scene.groundScroll.z, -std::fmod(travelled, 120.0), 0.05);
    EXPECT_EQ(scene.groundScroll.x, 0.0f);
    EXPECT_EQ(scene.groundScroll.y, 0.0f);
}

// ---------------------------------------------------------------------------
// Delivery state machine on the real riders

class Delivery : public ::testing::Test {
protected:
    void SetUp() override {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        bool ok = false;
        scene = BuildScene(FROSTVALE_BAKED_DIR, 3, &ok);
        ASSERT_TRUE(ok);
        scene->frameTime = 1.0 / 60.0;
    }
    std::unique_ptr<XMASMAIN> scene;
};

// The whole cycle flown frame by frame: each step starts its riders' clips,
// whatever order the random draws come in.
TEST_F(Delivery, RunGoesRoundTheCycle) {
    struct Clip {
        float start, end, speed;
        bool loop;
    };
    struct Seen {
        Clip santa, elf, deer;
        float timer;
        PRESENT held;
    };
    auto clip = [](const ONEMODEL& m) { return Clip{m.startTime, m.endTime, m.speed, m.loop}; };
    std::map<std::pair<int, int>, Seen> seen;
    EXPECT_EQ(scene->animTimer, 20.0f);
    std::vector<int> states = {scene->animState};
    for (int i = 0; i < 60 * 300 && states.size() < 5; ++i) {
        scene->MoveScene(1.0 / 60.0);
        if (scene->sceneTime < 20.0) {
            ASSERT_EQ(scene->animState, ANIM_FLYING) << "the first flight lasts 20 s";
            ASSERT_EQ(scene->targetHouse, -1);
        }
        if (scene->animState != states.back()) states.push_back(scene->animState);
        if (states.size() < 5) {
            seen.try_emplace({scene->animState, scene->animStep}, Seen{clip(*scene->santa), clip(*scene->elf),
                                                                      clip(scene->reindeer[0]), scene->animTimer,
                                                                      scene->heldPresent});
        }
    }
    EXPECT_EQ(states, (std::vector<int>{ANIM_FLYING, ANIM_APPROACH, ANIM_DELIVER, ANIM_TAKEOFF, ANIM_FLYING}));
    EXPECT_EQ(scene->targetHouse, -1);
    EXPECT_EQ(scene->heldPresent.active, 0);

    enum Who { kSanta, kElf, kDeer };
    const struct {
        int state, step;
        Who who;
        double from, to;
        bool loop;
    } clips[] = {
        {ANIM_APPROACH, 1, kElf, 54, 66, false},
        {ANIM_DELIVER, 1, kSanta, 49, 77, false},  {ANIM_DELIVER, 1, kDeer, 26, 30, false},
        {ANIM_DELIVER, 2, kElf, 66, 86, false},    {ANIM_DELIVER, 5, kElf, 87, 136, false},
        {ANIM_DELIVER, 6, kSanta, 123, 194, false}, {ANIM_TAKEOFF, 0, kSanta, 1, 49, true},
        {ANIM_TAKEOFF, 1, kDeer, 1, 22, true},
    };
    for (const auto& row : clips) {
        SCOPED_TRACE(testing::Message() << "state " << row.state << " step " << row.step << " rider " << row.who);
        const auto it = seen.find({row.state, row.step});
        ASSERT_NE(it, seen.end());
        const Clip& c = row.who == kSanta ? it->second.santa : row.who == kElf ? it->second.elf : it->second.deer;
        const int model = row.who == kSanta ? 1 : row.who == kElf ? 2 : 0;
        EXPECT_FLOAT_EQ(c.start, FramesToMs(*scene, model, row.from));
        EXPECT_FLOAT_EQ(c.end, FramesToMs(*scene, model, row.to));
        EXPECT_EQ(c.loop, row.loop);
    }
    const Seen& drop = seen.at({ANIM_DELIVER, 3});  // one of the two drops, present in hand
    const double dropFrom = drop.santa.start == FramesToMs(*scene, 1, 77) ? 77 : 94;
    EXPECT_FLOAT_EQ(drop.santa.end, FramesToMs(*scene, 1, dropFrom == 77 ? 93 : 122));
    EXPECT_EQ(drop.held.active, 1);
    EXPECT_LT(drop.held.textureIndex, 10);
    EXPECT_LT(drop.held.modelIndex, scene->presentModelCount);
    const Seen& dropped = seen.at({ANIM_DELIVER, 4});
    EXPECT_EQ(dropped.held.active, 0);
    for (const auto& [step, low] : {std::pair{4, 0.0f}, std::pair{5, 5.0f}}) {  // pauses of whole tenths
        const float pause = seen.at({ANIM_DELIVER, step}).timer - low;
        EXPECT_GE(pause, 0.0f) << step;
        EXPECT_LE(pause, 9.9f + 1e-4f) << step;
        EXPECT_NEAR(pause * 10.0f, std::round(pause * 10.0f), 1e-3f) << step;
    }
    const Seen& takeoff = seen.at({ANIM_TAKEOFF, 1});
    EXPECT_GE(takeoff.deer.speed, 900.0f);
    EXPECT_LT(takeoff.deer.speed, 1100.0f);
    EXPECT_LE(seen.at({ANIM_FLYING, 1}).timer, 20.0f);  // the first flight's
    // Cruising again: the elf's loop blended in, and a longer flight drawn.
    EXPECT_FLOAT_EQ(scene->elf->startTime, FramesToMs(*scene, 2, 0));
    EXPECT_FLOAT_EQ(scene->elf->endTime, FramesToMs(*scene, 2, 53));
    EXPECT_TRUE(scene->elf->loop);
    EXPECT_TRUE(scene->elf->blending);
    EXPECT_GE(scene->animTimer, 30.0f);
    EXPECT_LT(scene->animTimer, 150.0f);
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
    std::srand(8);
    const int next = std::rand();
    std::srand(8);
    scene->AnimControl();
    EXPECT_EQ(scene->animState, 3);
    EXPECT_EQ(scene->animStep, 0);
    EXPECT_EQ(scene->animTimer, timer);
    EXPECT_EQ(std::rand(), next) << "no draw made";
}

// ---------------------------------------------------------------------------
// Camera

class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        s = &SharedScene();
        s->heldShot = -1;
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
    XMASMAIN* s = nullptr;
};

TEST_F(Camera, ShotSixIsNeverFollowedByTheChase) {
    std::map<int, int> afterSix, afterFive;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        std::srand(seed);
        s->cameraMode = 6;
        Cut();
        ASSERT_TRUE(s->cameraCut);
        ++afterSix[s->cameraMode];
        std::srand(seed);
        s->cameraMode = 5;
        Cut();
        ++afterFive[s->cameraMode];
    }
    EXPECT_EQ(afterSix.count(4), 0u);
    EXPECT_EQ(afterSix.size(), 8u);   // every other kind, 6 itself included
    EXPECT_EQ(afterFive.size(), 9u);  // the chase can follow anything else
    EXPECT_GT(afterFive[4], 0);
}

TEST_F(Camera, ShotLengths) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        s->frameTime = 0.0;
        Cut();
        const int mode = s->cameraMode;
        const float extra = s->cameraTimer - 20.0f;
        if (mode >= 6) {
            EXPECT_GE(extra, 0.0f) << mode;
            EXPECT_LE(extra, 59.0f) << mode;
            EXPECT_EQ(extra, std::floor(extra));
        } else {
            EXPECT_EQ(extra, 0.0f) << mode;
        }
        // The cut flag lasts one call.
        Call();
        EXPECT_FALSE(s->cameraCut);
    }
}

TEST_F(Camera, HeldShotHoldsEveryNewShot) {
    for (int shot = 0; shot < kCameraShots; ++shot) {
        s->heldShot = shot;
        for (unsigned seed = 1; seed <= 5; ++seed) {
            std::srand(seed);
            Cut();
            EXPECT_EQ(s->cameraMode, shot);
        }
    }
}

TEST_F(Camera, GroundPointStartsAheadAndRecyclesBehind) {
    s->heldShot = 7;
    s->worldVelocity = {0.0f, 0.0f, -25.0f};
    s->worldOffset = {0.0f, 3.0f, 0.0f};
    s->frameTime = 0.0;
    std::set<float> sides;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::srand(seed);
        s->cameraMode = 0;
        Cut();
        const float x = s->cameraEye.x, extra = s->cameraTimer - 20.0f;
        EXPECT_TRUE(x >= -100.0f && x < 100.0f && x == std::floor(x)) << x;
        EXPECT_TRUE(extra >= 0.0f && extra < 60.0f && extra == std::floor(extra)) << extra;
        sides.insert(x < 0.0f ? -1.0f : 1.0f);
        EXPECT_EQ(s->cameraEye.y, 3.0f - 35.0f);
        EXPECT_EQ(s->cameraEye.z, 375.0f);
        EXPECT_EQ(s->cameraTarget.x, 0.0f);
        EXPECT_EQ(s->cameraTarget.z, 0.0f);
    }
    EXPECT_EQ(sides.size(), 2u);

    // The eye rides with the world, and goes back ahead once 400 behind.
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

TEST_F(Camera, PresentShotsFallBackWithoutAThrownPresent) {
    s->sleighPos = {1.0f, 2.0f, 3.0f};
    s->cameraMode = 6;
    s->cameraTimer = 30.0f;
    Call();
    EXPECT_EQ(s->cameraEye.y, 6.0f);
    EXPECT_EQ(s->cameraEye.z, -7.0f);
    EXPECT_EQ(s->cameraTarget.z, 33.0f);
    EXPECT_EQ(s->cameraTarget.y, 6.0f);

    s->cameraMode = 8;
    Call();
    EXPECT_EQ(s->cameraEye.y, 8.0f);
    EXPECT_EQ(s->cameraEye.z, -4.0f);
    EXPECT_EQ(s->cameraTarget.y, 3.0f);
    EXPECT_EQ(s->cameraTarget.z, 1.0f);
    EXPECT_EQ(s->cameraUp.y, 1.0f);

    // A present in the hand (stage > 0) is followed; one waiting (stage 0) is not.
    PRESENT& p = s->presents[0];
    p.active = 1;
    p.stage = kPresentWaiting;
    Call();
    EXPECT_EQ(s->cameraTarget.z, 1.0f);
    p.stage = kPresentThrown;
    p.position = {10.0f, 0.0f, 20.0f};
    p.matrix = MatrixFromAngle({0.0f, 0.0f, 180.0f});  // upside down
    Call();
    EXPECT_EQ(s->cameraTarget.x, 10.0f);
    EXPECT_NEAR(s->cameraEye.x, 9.0f, 1e-4f);
    EXPECT_NEAR(s->cameraEye.y, 2.0f, 1e-4f);
    EXPECT_NEAR(s->cameraEye.z, 23.0f, 1e-4f);
    EXPECT_NEAR(s->cameraUp.y, 1.0f, 1e-4f);

    s->cameraMode = 6;
    Call();
    EXPECT_EQ(s->cameraTarget.x, 10.0f);
    EXPECT_EQ(s->cameraTarget.z, 20.0f);
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
        s->heldShot = 2;
        Call();
        EXPECT_TRUE(s->cameraCut);
        EXPECT_EQ(s->cameraMode, 2);
        s->heldShot = -1;
    }
    // Other shots run their time.
    s->cameraMode = 3;
    s->cameraTimer = 30.0f;
    Call();
    EXPECT_GT(s->cameraTimer, 29.0f);
}

TEST_F(Camera, LooksFromTheEyeAtTheTarget) {
    s->cameraMode = 2;
    s->cameraTimer = 10.0f;
    s->sleighPos = {0.5f, 1.0f, -2.0f};
    Call();
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    auto eyeSpace = [&m](VECTOR3D p) {
        return VECTOR3D{static_cast<float>(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]),
                        static_cast<float>(m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]),
                        static_cast<float>(m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14])};
    };
    const VECTOR3D eye = eyeSpace(s->cameraEye);
    EXPECT_NEAR(eye.x, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-4f);
    const VECTOR3D target = eyeSpace(s->cameraTarget);
    EXPECT_NEAR(target.x, 0.0f, 1e-3f);
    EXPECT_NEAR(target.y, 0.0f, 1e-3f);
    EXPECT_NEAR(target.z, -40.0f, 1e-3f);
    s->sleighPos = {0.0f, 0.0f, 0.0f};
}

// ---------------------------------------------------------------------------
// Set-up and clean-up

class SetupFailures : public ::testing::Test {
protected:
    void SetUp() override {
        if (Gl() == nullptr) GTEST_SKIP() << "no offscreen GL context";
        folder = CopyOfBaked(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override {
        if (!folder.empty()) fs::remove_all(folder);
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
    fs::path folder;
};

TEST_F(SetupFailures, EachMissingFileStopsTheSetup) {
    for (const char* name : {"tex.brm", "reindeer.brm", "santa.brm", "elf.brm", "sleigh.brm", "presents.brm",
                             "other.brm", "houses.brm"}) {
        SCOPED_TRACE(name);
        const fs::path path = folder / name;
        const fs::path aside = folder / (std::string(name) + ".aside");
        fs::rename(path, aside);
        ExpectFailure(name);
        fs::rename(aside, path);
    }
}

TEST_F(SetupFailures, SceneImagesZeroToSix) {
    std::vector<Lump> lumps = ReadLumps((folder / "tex.brm").string());
    ASSERT_GE(lumps.size(), 7u);
    lumps.resize(6);
    ASSERT_TRUE(WriteLumps(folder, "tex.brm", lumps));
    ExpectFailure("tex.brm: has 6 images, needs 7");

    // Seven lumps of which one is no image is just as short.
    lumps = ReadLumps((folder / "tex.brm").string());
    lumps.push_back({TinyModel(0, 1), kLumpTypeModel, 0});
    ASSERT_TRUE(WriteLumps(folder, "tex.brm", lumps));
    ExpectFailure("tex.brm: lump 6 is not an image");
}

// A model in place of each rider or the ground, short of what the scene holds on to.
TEST_F(SetupFailures, ModelsLackingHandJointsOrTheGroundGroup) {
    const struct {
        const char* file;
        int joints, groups;
        const char* note;
    } cases[] = {{"santa.brm", 15, 1, "santa.brm: has 15 joints, needs 16"},
                 {"elf.brm", 9, 1, "elf.brm: has 9 joints, needs 10"},
                 {"other.brm", 0, 0, "other.brm: the ground model has no groups"}};
    for (const auto& c : cases) {
        const std::vector<Lump> original = ReadLumps((folder / c.file).string());
        std::vector<Lump> lumps = original;
        lumps[0].bytes = TinyModel(c.joints, c.groups);
        ASSERT_TRUE(WriteLumps(folder, c.file, lumps));
        ExpectFailure(c.note);
        ASSERT_TRUE(WriteLumps(folder, c.file, original));
    }
}

TEST(SceneSetup, FullSetupThenCleanupTwice) {
    REQUIRE_GL();
    bool ok = false;
    auto scene = BuildScene(FROSTVALE_BAKED_DIR, 2, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(scene->textures.size() >= 7, true);
    EXPECT_NE(scene->skyList, 0u);
    EXPECT_NE(scene->groundList, 0u);
    EXPECT_NE(scene->skyTexture, 0u);
    EXPECT_EQ(scene->animTemplates.size(), 3u);
    ASSERT_NE(scene->santa, nullptr);
    EXPECT_EQ(scene->santa->position.z, 1.7f);  // until the sleigh seats him
    EXPECT_EQ(static_cast<int>(scene->stars.size()), SETTINGS{}.NUM_STARS);
    const GLuint sky = scene->skyTexture;
    scene->CleanupAll();
    EXPECT_FALSE(glIsTexture(sky));
    EXPECT_EQ(scene->santa, nullptr);
    EXPECT_TRUE(scene->animTemplates.empty());
    EXPECT_TRUE(scene->stars.empty());
    scene->CleanupAll();
    EXPECT_EQ(scene->skyTexture, 0u);
}

TEST(SceneSetup, NoStarsStillSetsUpTheSky) {
    REQUIRE_GL();
    SETTINGS settings;
    settings.NUM_STARS = 0;
    bool ok = false;
    auto scene = BuildScene(FROSTVALE_BAKED_DIR, 2, &ok, settings);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(scene->stars.empty());
    EXPECT_GE(scene->moonSize, 4.0f);
    Frame(*scene, 1.0 / 60.0);
}

// The moon's quad faces the eye and lies where its offset says.
TEST(SkyDrawing, MoonShowsWhereItIs) {
    REQUIRE_GL();
    XMASMAIN& scene = SharedScene();
    const VECTOR3D savedEye = scene.cameraEye, savedTarget = scene.cameraTarget;
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
        ExtractFrustum();
        glEnable(GL_TEXTURE_2D);
        scene.DrawSky();
        glDisable(GL_TEXTURE_2D);
        scene.skyList = sky;
        glFinish();
        const auto pixels = Gl()->ReadPixels();
        const std::size_t centre = (static_cast<std::size_t>(kHeight / 2) * kWidth + kWidth / 2) * 4;
        return static_cast<int>(pixels[centre]);
    };
    // Away from the moon, below the horizon: nothing there.
    EXPECT_LT(centreOfView({-scene.moon.position.x, -100.0f, -scene.moon.position.z}), 20);
    EXPECT_GT(centreOfView(scene.moon.position), 100);
    scene.cameraEye = savedEye;
    scene.cameraTarget = savedTarget;
}

TEST(SkyDrawing, GroundIsBlueWhiteSnowFromGrazingToTopDown) {
    REQUIRE_GL();
    XMASMAIN& scene = SharedScene();
    // The snow ramp of the art direction: deep shade, shade, lit, then white
    // where a top-down view overexposes it.
    const int ramp[][3] = {{0x7D, 0x93, 0xB8}, {0xB9, 0xCC, 0xE8}, {0xEE, 0xF4, 0xFF}, {0xFF, 0xFF, 0xFF}};
    auto offRamp = [&ramp](const double c[3]) {
        double best = 1e9;
        for (int s = 0; s < 3; ++s) {
            double t = 0, len = 0;
            for (int k = 0; k < 3; ++k) {
                t += (c[k] - ramp[s][k]) * (ramp[s + 1][k] - ramp[s][k]);
                len += (ramp[s + 1][k] - ramp[s][k]) * (ramp[s + 1][k] - ramp[s][k]);
            }
            t = std::clamp(t / len, 0.0, 1.0);
            double d = 0;
            for (int k = 0; k < 3; ++k) d += std::pow(c[k] - (ramp[s][k] + t * (ramp[s + 1][k] - ramp[s][k])), 2);
            best = std::min(best, std::sqrt(d));
        }
        return best;
    };
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
        EXPECT_LT(offRamp(mean), 24) << mean[0] << " " << mean[1] << " " << mean[2];
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

TEST(Trace, LineNamesEveryField) {
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
    EXPECT_EQ(f.at("frame"), "12");
    EXPECT_EQ(f.at("t"), "1.5000");
    EXPECT_EQ(f.at("shot"), "7");
    EXPECT_EQ(f.at("cut"), "1");
    EXPECT_EQ(f.at("eye"), "30.0000,10.0000,0.0000");
    EXPECT_EQ(f.at("vel"), "0.0000,0.0000,-25.0000");
    EXPECT_EQ(f.at("sparkles"), "1");
    EXPECT_EQ(f.at("presents"), "1");
    EXPECT_EQ(f.at("flying"), "1");
    EXPECT_EQ(f.at("target_house"), "-1");
    // A line cut short by the buffer is reported as longer than it.
    EXPECT_GE(FormatTraceLine(line, 16, 12, scene), 16);
}

TEST(Trace, WriterCountsFramesAndReportsAnUnwritableFile) {
    XMASMAIN scene;
    const fs::path path = fs::temp_directory_path() / ("frostvale_trace_" + std::to_string(::getpid()));
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(path.string()));
    EXPECT_TRUE(writer.Write(scene));
    EXPECT_TRUE(writer.Write(scene));
    EXPECT_TRUE(writer.Close());
    std::ifstream in(path);
    std::string first, second, third;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_FALSE(std::getline(in, third));
    EXPECT_EQ(Fields(first).at("frame"), "1");
    EXPECT_EQ(Fields(second).at("frame"), "2");
    fs::remove(path);

    TraceWriter nowhere;
    EXPECT_FALSE(nowhere.Open("/nonexistent-folder/trace.txt"));
    EXPECT_FALSE(nowhere.Write(scene));
}

TEST(CommandLine, TraceAndShotOptions) {
    auto parse = [](std::vector<const char*> words) {
        words.insert(words.begin(), "frostvale");
        return ParseOptions(static_cast<int>(words.size()), words.data(), nullptr);
    };
    ParseResult r = parse({"--headless", "--trace", "/tmp/t.txt", "--shot", "8"});
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.options.trace, "/tmp/t.txt");
    EXPECT_EQ(r.options.shot, 8);
    EXPECT_EQ(parse({}).options.shot, -1);
    EXPECT_EQ(parse({"-shot=0"}).options.shot, 0);
    for (const char* bad : {"9", "-1", "x", "", "3.5"}) EXPECT_FALSE(parse({"--shot", bad}).error.empty()) << bad;
    EXPECT_FALSE(parse({"--trace"}).error.empty());
    EXPECT_FALSE(parse({"--trace="}).error.empty());
    const std::string usage = UsageText();
    EXPECT_NE(usage.find("--trace FILE"), std::string::npos);
    EXPECT_NE(usage.find("--shot N"), std::string::npos);
}
}  // namespace
