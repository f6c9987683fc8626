#include "host/run_services.h"

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

bool RunPlaysCarols(const RunContext& run, int display) {
    return display == ViewServices{}.mainDisplayNumber && run.settings.settings.PLAYMUSIC && !run.options.preview;
}
