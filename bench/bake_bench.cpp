// How long the baker takes to paint each generated file (it runs on every build).
#include <benchmark/benchmark.h>

#include "tools/bake/bake.h"

static void BM_BakeSceneTextures(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildSceneTextures());
}
BENCHMARK(BM_BakeSceneTextures)->Unit(benchmark::kMillisecond);

static void BM_BakeOverlayTextures(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildOverlayTextures());
}
BENCHMARK(BM_BakeOverlayTextures)->Unit(benchmark::kMillisecond);
