// The team's per-frame costs: the largest team's update (the follow, the
// visibility test, the skinning, the hoof sparkles), the sleigh's update, and
// the sparkle pool moved and drawn full.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/scene_fixture.h"

namespace {

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
        LookDownTheLine(&scene, 320, 180);
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
