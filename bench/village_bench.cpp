// The village's per-frame costs at their largest settings: the snow moved and
// drawn (one batch), the houses and trees moved with every chimney smoking,
// all the smoke drawn (one batch), and the houses and trees drawn.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/scene_fixture.h"

namespace {

struct Village {
    std::unique_ptr<OffscreenContext> context;
    XMASMAIN scene;

    bool Build(int flakes, int houses) {
        std::string error;
        context = OffscreenContext::Create(320, 180, &error);
        if (context == nullptr) return false;
        std::srand(1);
        scene.resourcePath = kBaked;
        scene.snowCount = flakes;
        scene.houseCount = houses;
        if (!LoadTexturesFromDataFile((kBaked + "tex.brm").c_str(), &scene.textures) || !scene.SetupSnow() ||
            !scene.SetupHouses() || !scene.SetupTrees()) {
            return false;
        }
        for (ONEHOUSE& house : scene.houses) house.smoking = true;
        return true;
    }

    // The chase view over the village.
    void Look() {
        LookDownTheLine(&scene, 320, 180);
        scene.cameraMode = 4;
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
};

void BM_MoveSnow2000(benchmark::State& state) {
    Village v;
    if (!v.Build(2000, 10)) {
        state.SkipWithError("set-up failed");
        return;
    }
    v.Look();
    v.scene.frameTime = 1.0 / 60.0;
    for (auto _ : state) v.scene.MoveSnow();
}
BENCHMARK(BM_MoveSnow2000)->Unit(benchmark::kMicrosecond);

void BM_MoveHouses40AllSmoking(benchmark::State& state) {
    Village v;
    if (!v.Build(0, 40)) {
        state.SkipWithError("set-up failed");
        return;
    }
    v.scene.frameTime = 1.0 / 60.0;
    // The world stands still (as on a roof) so no house is recycled into a
    // non-smoking one: every chimney keeps about 60 live puffs.
    v.scene.worldVelocity = MakePoint(0.0f, 0.0f, 0.0f);
    for (auto _ : state) {
        v.scene.MoveHouses();
        v.scene.MoveTrees();
    }
}
BENCHMARK(BM_MoveHouses40AllSmoking)->Unit(benchmark::kMicrosecond);

// Drawing includes glFinish, so llvmpipe's rasterising is counted.
void BM_DrawSnowAndSmoke(benchmark::State& state) {
    Village v;
    if (!v.Build(2000, 40)) {
        state.SkipWithError("set-up failed");
        return;
    }
    v.scene.frameTime = 1.0 / 60.0;
    for (int i = 0; i < 180; ++i) v.scene.MoveHouses();  // three seconds of smoke
    v.Look();
    v.scene.MoveSnow();
    for (auto _ : state) {
        v.scene.DrawSnow();
        v.scene.DrawAllSmoke();
        glFinish();
    }
}
BENCHMARK(BM_DrawSnowAndSmoke)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawHousesAndTrees(benchmark::State& state) {
    Village v;
    if (!v.Build(0, 40)) {
        state.SkipWithError("set-up failed");
        return;
    }
    v.Look();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        v.scene.DrawHouses();
        v.scene.DrawTrees();
        glFinish();
    }
}
BENCHMARK(BM_DrawHousesAndTrees)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
