// The engine as the view drives it (Update, then Draw with the overlay): the
// processor time of a frame at the default settings and at the largest
// counts, whole frames at the usual screen sizes, the first frame from
// nothing, and the scene's set-up step by step.
//
// Processor time is the whole process's (Mesa's llvmpipe threads included):
// at 64x64 there is almost nothing to rasterise, so it is the cost of
// updating the scene and submitting its drawing.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/scene_fixture.h"
#include "engine/ssmain.h"

namespace {
constexpr double kFrame = 1.0 / 60.0;

SETTINGS LargestCounts() {
    SETTINGS settings;
    settings.NUM_SNOW = 5000;
    settings.NUM_STARS = 2000;
    settings.NUM_HOUSES = 100;
    settings.NUM_REINDEER = 20;
    return settings;
}

std::unique_ptr<SSMAIN> MakeEngine(int width, int height, const SETTINGS& settings) {
    std::srand(5);
    auto engine = std::make_unique<SSMAIN>();
    if (!engine->Setup(false, width, height, &settings, kBaked.c_str())) return nullptr;
    // Some seconds into the flight: the team is up to speed, smoke and snow are in the air.
    for (int i = 0; i < 600; ++i) engine->Update(kFrame);
    return engine;
}

// A 64x64 context and an engine up to speed; arg 0 the default settings, 1 the
// largest counts. False (and the benchmark skipped) when either cannot be had.
struct SmallEngine {
    std::unique_ptr<OffscreenContext> context;
    std::unique_ptr<SSMAIN> engine;

    bool Build(benchmark::State& state) {
        const SETTINGS settings = state.range(0) == 0 ? SETTINGS{} : LargestCounts();
        context = MakeViewContext(64, 64);
        engine = context ? MakeEngine(64, 64, settings) : nullptr;
        if (!engine) state.SkipWithError("no GL context or no engine");
        return engine != nullptr;
    }
};

// glFinish each frame, so the processor time of the frame's rendering falls
// inside its iteration.
void BM_EngineFrame64(benchmark::State& state) {
    SmallEngine small;
    if (!small.Build(state)) return;
    SSMAIN* engine = small.engine.get();
    for (auto _ : state) {
        engine->Update(kFrame);
        engine->Draw();
        glFinish();
    }
}
BENCHMARK(BM_EngineFrame64)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The update alone (no GL), at the default settings and the largest counts.
void BM_EngineUpdate(benchmark::State& state) {
    SmallEngine small;
    if (!small.Build(state)) return;
    SSMAIN* engine = small.engine.get();
    for (auto _ : state) {
        engine->Update(kFrame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EngineUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Whole frames at the default settings; args are width and height. Wall
// time: frames per second is the rate.
void BM_EngineFrameAt(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    auto context = MakeViewContext(width, height);
    auto engine = context ? MakeEngine(width, height, SETTINGS{}) : nullptr;
    if (!engine) {
        state.SkipWithError("no GL context or no engine");
        return;
    }
    for (auto _ : state) {
        engine->Update(kFrame);
        engine->Draw();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineFrameAt)->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

// From no GL context at all to the first finished frame at 1280x720: the
// context, every resource, the cloud image, the display lists, one draw.
void BM_FirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto context = MakeViewContext(1280, 720);
        if (!context) {
            state.SkipWithError("no GL context");
            return;
        }
        std::srand(5);
        auto engine = std::make_unique<SSMAIN>();
        const SETTINGS settings;
        if (!engine->Setup(false, 1280, 720, &settings, kBaked.c_str())) {
            state.SkipWithError("set-up failed");
            return;
        }
        engine->Update(kFrame);
        engine->Draw();
        glFinish();
        state.PauseTiming();
        engine.reset();
        context.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scene's set-up in its own order, each step's milliseconds a counter.
void BM_SetupSteps(benchmark::State& state) {
    auto context = MakeViewContext(64, 64);
    if (!context) {
        state.SkipWithError("no GL context");
        return;
    }
    using Clock = std::chrono::steady_clock;
    const char* names[] = {"textures", "anims", "reindeer", "sleigh", "presents", "scene",
                           "snow",     "ground", "houses",  "trees",  "sky"};
    constexpr int kSteps = 11;
    double totals[kSteps] = {};
    for (auto _ : state) {
        std::srand(5);
        XMASMAIN scene;
        const SETTINGS settings;
        scene.resourcePath = kBaked.c_str();
        scene.showSparkles = settings.SHOWSPARKLES;
        scene.showSmoke = settings.SHOWSMOKE;
        scene.showTrees = settings.SHOWTREES;
        scene.snowCount = settings.NUM_SNOW;
        scene.starCount = settings.NUM_STARS;
        scene.houseCount = settings.NUM_HOUSES;
        scene.reindeerCount = settings.NUM_REINDEER;
        bool ok = true;
        auto step = [&](int i, auto&& run) {
            if (!ok) return;
            const auto start = Clock::now();
            ok = run();
            totals[i] += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        };
        step(0, [&] { return LoadTexturesFromDataFile((scene.resourcePath + "tex.brm").c_str(), &scene.textures); });
        step(1, [&] { return scene.SetupAnims(); });
        step(2, [&] { return scene.SetupReindeers(); });
        step(3, [&] { return scene.SetupSleigh(); });
        step(4, [&] { return scene.SetupPresents(); });
        step(5, [&] { return scene.SetupScene(); });
        step(6, [&] { return scene.SetupSnow(); });
        step(7, [&] { return scene.SetupGround(); });
        step(8, [&] { return scene.SetupHouses(); });
        step(9, [&] { return scene.SetupTrees(); });
        step(10, [&] { return scene.SetupSky(); });
        glFinish();
        if (!ok) {
            state.SkipWithError("set-up failed");
            return;
        }
        state.PauseTiming();
        scene.CleanupAll();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    for (int i = 0; i < kSteps; ++i) state.counters[std::string(names[i]) + "_ms"] = totals[i] / n;
}
BENCHMARK(BM_SetupSteps)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
