// The scene's cost: one update alone, an update and draw at a small size, the
// whole set-up (the cloud texture included), and whole frames at 1280x720.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/scene_fixture.h"
#include "engine/ssmain.h"

namespace {
// The view's context with the scene's shared state, as the frame driver sets it up.
std::unique_ptr<OffscreenContext> MakeContext(int width, int height) {
    auto context = MakeViewContext(width, height);
    if (!context) return nullptr;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetSharedSceneState();
    return context;
}

std::unique_ptr<XMASMAIN> MakeScene() {
    std::srand(7);
    auto scene = std::make_unique<XMASMAIN>();
    const SETTINGS settings;
    if (!scene->SetupAll(&settings, kBaked.c_str())) return nullptr;
    return scene;
}

void DrawFrame(XMASMAIN& scene) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.MoveCamera();
    scene.MoveSnow();
    scene.frustum = ExtractFrustum();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glPushMatrix();
    glColor4f(1, 1, 1, 1);
    scene.DrawScene();
    glPopMatrix();
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
}

// The update alone, the scene already some seconds into its flight.
void BM_MoveScene(benchmark::State& state) {
    auto context = MakeContext(64, 64);
    auto scene = context ? MakeScene() : nullptr;
    if (!scene) {
        state.SkipWithError("no GL context or no scene");
        return;
    }
    for (int i = 0; i < 300; ++i) scene->MoveScene(1.0 / 60.0);
    for (auto _ : state) {
        scene->MoveScene(1.0 / 60.0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MoveScene)->Unit(benchmark::kMicrosecond);

// Whole frames as the headless host draws them, at 64x64 (little to
// rasterise) and 1280x720; frames per second is the inverse of the wall time
// per iteration.
void BM_UpdateAndDraw(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    auto context = MakeContext(width, height);
    auto scene = context ? MakeScene() : nullptr;
    if (!scene) {
        state.SkipWithError("no GL context or no scene");
        return;
    }
    for (auto _ : state) {
        scene->MoveScene(1.0 / 60.0);
        DrawFrame(*scene);
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UpdateAndDraw)->Args({64, 64})->Args({1280, 720})->Unit(benchmark::kMillisecond)->UseRealTime();

// Construction to a working scene: every file, model, display list and the
// 512 x 512 cloud texture; then the clean-up.
void BM_SetupAll(benchmark::State& state) {
    auto context = MakeContext(64, 64);
    if (!context) {
        state.SkipWithError("no GL context");
        return;
    }
    for (auto _ : state) {
        auto scene = MakeScene();
        if (!scene) {
            state.SkipWithError("set-up failed");
            return;
        }
        scene->CleanupAll();
    }
}
BENCHMARK(BM_SetupAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CloudPixels(benchmark::State& state) {
    std::srand(7);
    for (auto _ : state) benchmark::DoNotOptimize(XMASMAIN::CloudPixels(32, 512, 60, 0.05f));
}
BENCHMARK(BM_CloudPixels)->Unit(benchmark::kMillisecond);
}  // namespace
