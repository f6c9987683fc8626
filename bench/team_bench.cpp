// The team's per-frame costs: the largest team's update (the follow, the
// visibility test, the skinning, the hoof sparkles), the sleigh's update, and
// the sparkle pool moved and drawn full.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "math/frustum.h"
#include "platform/egl_offscreen.h"
#include "scene/xmasmain.h"

namespace {

const std::string kBaked = std::string(FROSTVALE_BAKED_DIR) + "/";

struct Team {
    std::unique_ptr<OffscreenContext> context;
    XMASMAIN scene;

    bool Build(int pairs) {
        std::string error;
        context = OffscreenContext::Create(320, 180, &error);
        if (context == nullptr) return false;
        scene.resourcePath = kBaked;
        scene.reindeerCount = pairs;
        return LoadTexturesFromDataFile((kBaked + "tex.brm").c_str(), &scene.textures) && scene.SetupAnims() &&
               scene.SetupReindeers() && scene.SetupSleigh();
    }

    // The chase view over the team.
    void LookAtTeam() {
        glViewport(0, 0, 320, 180);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 320.0 / 180.0, 1.0, 400.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        scene.cameraEye = MakePoint(0.0f, 4.0f, -10.0f);
        scene.cameraTarget = MakePoint(0.0f, 4.0f, 30.0f);
        gluLookAt(0, 4, -10, 0, 4, 30, 0, 1, 0);
        ExtractFrustum();
    }
};

void BM_MoveTeam20Pairs(benchmark::State& state) {
    Team team;
    if (!team.Build(20)) {
        state.SkipWithError("set-up failed");
        return;
    }
    team.LookAtTeam();
    XMASMAIN& s = team.scene;
    s.frameTime = 1.0 / 60.0;
    for (auto _ : state) {
        s.sceneTime += s.frameTime;
        s.MoveReindeers();
        s.MoveSleigh();
        s.MoveSparkles();
    }
}
BENCHMARK(BM_MoveTeam20Pairs)->Unit(benchmark::kMicrosecond);

void BM_SparklesFullPool(benchmark::State& state) {
    Team team;
    if (!team.Build(0)) {
        state.SkipWithError("set-up failed");
        return;
    }
    team.LookAtTeam();
    XMASMAIN& s = team.scene;
    s.frameTime = 1.0 / 60.0;
    s.worldVelocity = MakePoint(0.0f, 0.0f, 0.0f);
    std::srand(1);
    glEnable(GL_TEXTURE_2D);
    for (auto _ : state) {
        // Keep the pool full: every sparkle is topped up to a long life.
        for (ONEPARTICLE& p : s.sparkles) {
            p.alpha = 1.0f;
            p.size = 0.1f;
        }
        s.MoveSparkles();
        s.DrawSparkles();
        glFinish();
    }
}
BENCHMARK(BM_SparklesFullPool)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
