// The headless host: no display at all. EGL offscreen drawing and a simulated
// clock that advances exactly 1/rate per tick, so a run renders the same
// frames however fast or slow the machine is.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/frostvale_view.h"
#include "host/hosts.h"
#include "host/run_calendar.h"
#include "host/run_services.h"
#include "platform/egl_offscreen.h"
#include "platform/signals.h"
#include "scene/trace.h"
#include "png/png.h"

namespace {
// Where the simulated clock starts; any value works, only differences count.
constexpr double kSimulatedStart = 1000.0;

// A screen shows no alpha, but blending leaves it in the framebuffer (the
// view clears it to 0): written as is, the frame would look washed out, and
// the overlay's text vanish, in any viewer that composites the PNG on white.
bool WriteFrame(const OffscreenContext& context, std::vector<std::uint8_t> pixels, const std::string& path) {
    const DrawableSize size = context.Size();
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return WritePng(path, size.width, size.height, pixels, false);
}
}  // namespace

int RunHeadless(const RunContext& run) {
    const Options& o = run.options;
    std::string error;
    // A light run draws into what a light window on a software rasteriser is:
    // no depth buffer, the scene's depth in its own picture.
    const OffscreenFormat format = o.quality == Quality::Light ? OffscreenFormat::LightWindow : OffscreenFormat::Window;
    auto context = OffscreenContext::Create(o.width, o.height, &error, format);
    if (!context) {
        std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        return 1;
    }
    if (!o.framesDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.framesDir, ec);
        if (ec) {
            std::fprintf(stderr, "frostvale: cannot create \"%s\": %s\n", o.framesDir.c_str(), ec.message().c_str());
            return 1;
        }
    }
    TraceWriter trace;
    if (!o.trace.empty() && !trace.Open(o.trace)) {
        std::fprintf(stderr, "frostvale: cannot write \"%s\": %s\n", o.trace.c_str(), std::strerror(errno));
        return 1;
    }
    bool writeFailed = false;
    // Only a run that writes every frame needs each one read back; a snapshot
    // reads the last from the framebuffer, which nothing draws into after it.
    context->SetKeepsPresented(!o.framesDir.empty());
    if (!o.framesDir.empty()) {
        context->SetPresentHook([&](const OffscreenContext& c) {
            char name[32];
            std::snprintf(name, sizeof name, "/%06d.png", c.PresentCount());
            if (!writeFailed && !WriteFrame(c, c.LastPresented(), o.framesDir + name)) {
                std::fprintf(stderr, "frostvale: cannot write \"%s%s\"\n", o.framesDir.c_str(), name);
                writeFailed = true;
            }
        });
    }

    SimulatedClock clock(kSimulatedStart);
    ViewServices services = RunServices(run, context.get(), &clock);
    // No one to show an image alert to: the set-up error printed below already
    // names the file, the lump and the decoder's message, on one line.
    services.alert = [](const char*, const char*) {};
    services.calendar = RunCalendar(o, &clock);
    // Headless frames are for looking: full quality unless light is asked for.
    services.quality = o.quality == Quality::Light ? Quality::Light : Quality::Full;
    if (trace.IsOpen()) {
        services.frameDrawn = [&](const XMASMAIN& scene) {
            if (!writeFailed && !trace.Write(scene)) {
                std::fprintf(stderr, "frostvale: cannot write \"%s\"\n", o.trace.c_str());
                writeFailed = true;
            }
        };
    }

    int status = 0;
    {
        FrostvaleView view(services, o.preview, run.settings);
        view.SetFrameSize(o.width, o.height);
        view.StartAnimation();
        const long long ticks = static_cast<long long>(o.seconds * o.frameRate + 0.5);
        for (long long tick = 1; tick <= ticks && !QuitRequested() && !writeFailed; ++tick) {
            clock.Set(kSimulatedStart + static_cast<double>(tick) / o.frameRate);
            view.AnimateOneFrame();
            if (view.SetupFailed()) {
                PrintSetupFailure(view);
                status = 1;
                break;
            }
        }
        view.StopAnimation();
    }
    if (trace.IsOpen() && !trace.Close() && !writeFailed) {
        std::fprintf(stderr, "frostvale: cannot write \"%s\"\n", o.trace.c_str());
        writeFailed = true;
    }
    if (writeFailed) status = 1;
    if (status == 0 && !o.snapshot.empty() && !WriteFrame(*context, context->ReadPixels(), o.snapshot)) {
        std::fprintf(stderr, "frostvale: cannot write \"%s\"\n", o.snapshot.c_str());
        status = 1;
    }
    return status;
}
