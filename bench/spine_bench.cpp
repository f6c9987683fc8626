// The saver's spine: image decoding and texture upload, and the headless
// frame loop with the scene as it stands. Run on a quiet machine; the numbers
// depend on the GL driver (Mesa llvmpipe here).
#include <benchmark/benchmark.h>

#include <ctime>

#include "assets/texture.h"
#include "host/frostvale_view.h"
#include "platform/egl_offscreen.h"
#include "tools/common/lumpwriter.h"

namespace {
OffscreenContext* SharedContext(int width, int height) {
    static std::unique_ptr<OffscreenContext> context;
    if (!context) {
        std::string error;
        context = OffscreenContext::Create(width, height, &error);
    } else {
        context->Resize(width, height);
    }
    return context.get();
}

// A painted-looking 256x256 picture: long runs, as the baked art has, plus noise.
Image Picture() {
    Image image(256, 256);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            seed = seed * 1664525u + 1013904223u;
            std::uint8_t* p = image.At(x, y);
            const bool flat = (x / 32 + y / 32) % 2 == 0;
            p[0] = flat ? 200 : static_cast<std::uint8_t>(seed >> 24);
            p[1] = flat ? 40 : static_cast<std::uint8_t>(seed >> 16);
            p[2] = flat ? 60 : static_cast<std::uint8_t>(seed >> 8);
            p[3] = 255;
        }
    }
    return image;
}

void DecodeAndBuild(benchmark::State& state, TgaEncoding encoding) {
    OffscreenContext* context = SharedContext(64, 64);
    if (context == nullptr) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    const Bytes tga = EncodeTga(Picture(), 32, encoding);
    for (auto _ : state) {
        BoundedReader reader(tga.data(), tga.size());
        Texture texture;
        if (!LoadTGA2(&texture, &reader) || !BuildTexture(&texture, 2)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(texture.texID);
    }
    // Throughput in decoded pixel data, so both encodings compare directly.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 256 * 256 * 4);
}

void BM_TgaUncompressed(benchmark::State& state) { DecodeAndBuild(state, TgaEncoding::Uncompressed); }
void BM_TgaRunLength(benchmark::State& state) { DecodeAndBuild(state, TgaEncoding::RunLength); }

// One presented frame of the view at 1280x720 per iteration, on the simulated clock.
void BM_HeadlessFrame(benchmark::State& state) {
    OffscreenContext* context = SharedContext(1280, 720);
    if (context == nullptr) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    SimulatedClock clock;
    ViewServices services;
    services.surface = context;
    services.clock = &clock;
    services.resourcePath = FROSTVALE_BAKED_DIR;
    services.seed = [] { return 1u; };
    FrostvaleView view(services, false, ViewSettings{});
    view.SetFrameSize(1280, 720);
    view.StartAnimation();
    clock.Advance(FrostvaleView::kFrameInterval);
    view.AnimateOneFrame();
    if (view.SetupFailed()) {
        state.SkipWithError("set-up failed");
        return;
    }
    for (auto _ : state) {
        clock.Advance(FrostvaleView::kFrameInterval);
        view.AnimateOneFrame();  // includes the read-back the headless host does per present
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(BM_TgaUncompressed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TgaRunLength)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeadlessFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
