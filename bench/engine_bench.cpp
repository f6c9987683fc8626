// The engine as the view drives it (Update, then Draw with the overlay):
// seeded flights giving each frame's processor time at the default settings
// and at the largest counts, and frame rates at the usual screen sizes; the
// update alone; the first frame from nothing; the scene's set-up step by step;
// the stretch of a light frame's picture over the window.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench/scene_fixture.h"
#include "engine/ssmain.h"
#include "host/scaled_scene.h"

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
    return engine;
}

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// A seeded flight from set-up at 60 frames a second, each frame's processor
// time (the whole process's: llvmpipe's threads draw it) and wall time taken
// from the start of its update to the end of glFinish. One shot can cost
// three times another (the chase view down the street draws every house), so
// only a flight through the camera's shots and a landing gives a figure that
// means something.
void Fly(benchmark::State& state, int width, int height, const SETTINGS& settings, int frames) {
    auto context = MakeViewContext(width, height);
    auto engine = context ? MakeEngine(width, height, settings) : nullptr;
    if (!engine) {
        state.SkipWithError("no GL context or no engine");
        return;
    }
    std::vector<double> cpuMs, wallMs;
    std::vector<int> shots;
    cpuMs.reserve(static_cast<std::size_t>(frames));
    wallMs.reserve(static_cast<std::size_t>(frames));
    shots.reserve(static_cast<std::size_t>(frames));
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i) {
            const double cpu = ProcessSeconds();
            const auto wall = std::chrono::steady_clock::now();
            LoadSceneProjection(width, height);
            engine->Update(kFrame);
            engine->Draw({});
            glFinish();
            cpuMs.push_back(1e3 * (ProcessSeconds() - cpu));
            wallMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count());
            shots.push_back(engine->xmasMain->cameraMode);
        }
    }
    state.counters["cpu_median_ms"] = Percentile(cpuMs, 0.5);
    state.counters["cpu_p90_ms"] = Percentile(cpuMs, 0.9);
    state.counters["cpu_max_ms"] = Percentile(cpuMs, 1.0);
    state.counters["wall_median_ms"] = Percentile(wallMs, 0.5);
    double total = 0.0;
    for (double ms : wallMs) total += ms;
    state.counters["fps"] = total > 0.0 ? 1e3 * static_cast<double>(wallMs.size()) / total : 0.0;
    // Each camera shot the flight held for a second or more, on its own.
    for (int shot = 0; shot < 9; ++shot) {
        std::vector<double> held;
        for (std::size_t i = 0; i < shots.size(); ++i) {
            if (shots[i] == shot) held.push_back(cpuMs[i]);
        }
        if (held.size() >= 60) state.counters["cpu_shot" + std::to_string(shot) + "_ms"] = Percentile(held, 0.5);
    }
}

// At 64x64, where there is almost nothing to rasterise: the cost of updating
// the scene and submitting its drawing. Arg 0 the default settings for two
// simulated minutes, 1 the largest counts for one (each frame costs several
// times as much).
void BM_Flight64(benchmark::State& state) {
    const bool largest = state.range(0) != 0;
    Fly(state, 64, 64, largest ? LargestCounts() : SETTINGS{}, (largest ? 60 : 120) * 60);
}
BENCHMARK(BM_Flight64)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Half a simulated minute at the usual screen sizes, default settings.
void BM_FlightAt(benchmark::State& state) {
    Fly(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), SETTINGS{}, 30 * 60);
}
BENCHMARK(BM_FlightAt)->Args({1280, 720})->Args({1920, 1080})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The update alone (no GL), at the default settings and the largest counts,
// ten seconds into the flight.
void BM_EngineUpdate(benchmark::State& state) {
    auto context = MakeViewContext(64, 64);
    auto engine = context ? MakeEngine(64, 64, state.range(0) == 0 ? SETTINGS{} : LargestCounts()) : nullptr;
    if (!engine) {
        state.SkipWithError("no GL context or no engine");
        return;
    }
    for (int i = 0; i < 600; ++i) engine->Update(kFrame);
    for (auto _ : state) {
        engine->Update(kFrame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EngineUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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
        engine->Draw({});
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

// What light quality pays on top of the scene whatever the scene holds: the
// picture, cleared and stretched over the drawable with linear filtering, at
// the smallest scale (arg 35), half size (50) and the largest step (84).
// The drawable is what a light window on a software rasteriser is (BGRA, no
// depth buffer), so llvmpipe may take its linear path: run once more with
// LP_PERF=no_rast_linear to see what that path saves. Processor time of every
// thread, llvmpipe's included; `program` 1 when the GL 2.0 stretch ran.
void Stretch(benchmark::State& state, int width, int height) {
    std::string error;
    auto context = OffscreenContext::Create(width, height, &error, OffscreenFormat::LightWindow);
    if (context) LoadViewState(width, height);
    ScaledScene scaled;
    if (!context || !scaled.Create(context.get(), width, height, 1.0)) {
        state.SkipWithError("no GL context or no framebuffer object");
        return;
    }
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    std::vector<double> cpuMs;
    for (auto _ : state) {
        const double cpu = ProcessSeconds();
        scaled.Begin(scale);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scaled.End(true);
        glFinish();
        cpuMs.push_back(1e3 * (ProcessSeconds() - cpu));
    }
    state.counters["cpu_median_ms"] = Percentile(cpuMs, 0.5);
    state.counters["program"] = scaled.StretchesWithProgram() ? 1 : 0;
}

void BM_StretchOver1280x720(benchmark::State& state) { Stretch(state, 1280, 720); }
BENCHMARK(BM_StretchOver1280x720)->Arg(35)->Arg(50)->Arg(84)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StretchOver1920x1080(benchmark::State& state) { Stretch(state, 1920, 1080); }
BENCHMARK(BM_StretchOver1920x1080)->Arg(35)->Arg(50)->Arg(84)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
