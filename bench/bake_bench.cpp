// How long the baker takes to paint each generated file (it runs on every build).
#include <benchmark/benchmark.h>

#include "tools/bake/bake.h"
#include "tools/bake/models.h"

static void BM_BakeSceneTextures(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildSceneTextures());
}
BENCHMARK(BM_BakeSceneTextures)->Unit(benchmark::kMillisecond);

static void BM_BakeOverlayTextures(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildOverlayTextures());
}
BENCHMARK(BM_BakeOverlayTextures)->Unit(benchmark::kMillisecond);

// The generated models with their pictures.
static void BM_BakeHouses(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildHouses());
}
BENCHMARK(BM_BakeHouses)->Unit(benchmark::kMillisecond);

static void BM_BakeGroundAndTrees(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildOther());
}
BENCHMARK(BM_BakeGroundAndTrees)->Unit(benchmark::kMillisecond);

static void BM_BakeSleigh(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildSleigh());
}
BENCHMARK(BM_BakeSleigh)->Unit(benchmark::kMillisecond);

static void BM_BakePresents(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildPresents());
}
BENCHMARK(BM_BakePresents)->Unit(benchmark::kMillisecond);
