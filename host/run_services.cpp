#include "host/run_services.h"

#include <cstdio>
#include <ctime>
#include <optional>

ViewServices RunServices(const RunContext& run, GLSurface* surface, Clock* clock) {
    const Options& o = run.options;
    ViewServices services;
    services.surface = surface;
    services.clock = clock;
    services.resourcePath = run.resourcePath;
    const std::optional<std::uint32_t> seed = o.seed;
    services.seed = [seed] { return seed ? *seed : static_cast<unsigned>(std::time(nullptr)); };
    services.showFps = o.showFps;
    services.heldShot = o.shot;
    services.quality = o.quality;
    return services;
}

std::function<void(const XMASMAIN&)> RunTrace(const RunContext& run, TraceWriter* trace) {
    const std::string& path = run.options.trace;
    if (path.empty()) return {};
    if (!trace->IsOpen() && !trace->Open(path)) {
        std::fprintf(stderr, "frostvale: cannot write \"%s\"\n", path.c_str());
        return {};
    }
    return [trace](const XMASMAIN& scene) { trace->Write(scene); };
}

void PrintSetupFailure(const FrostvaleView& view) {
    const SetupError& why = view.SetupProblem();
    std::fprintf(stderr, "frostvale: %s\n", why.Failed() ? why.Line().c_str() : "set-up failed");
}

bool RunPlaysCarols(const RunContext& run, int display) {
    return display == ViewServices{}.mainDisplayNumber && run.settings.settings.PLAYMUSIC && !run.options.preview;
}
