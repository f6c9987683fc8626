// frostvale: the saver. Parses the command line, loads the settings and hands
// over to one of the four hosts.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "host/hosts.h"
#include "host/settings_window.h"
#include "platform/spawn.h"
#include "platform/signals.h"

namespace {
// --resources, else the folder baked beside this build, else the installed one.
std::string FindResources(const Options& options) {
    if (!options.resources.empty()) return options.resources;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const auto besideBuild = exe.parent_path().parent_path() / "resources";
        if (std::filesystem::exists(besideBuild / "bramble.works", ec)) return besideBuild.string();
    }
    if (std::filesystem::exists(std::filesystem::path(FROSTVALE_BAKED_DIR) / "bramble.works", ec)) {
        return FROSTVALE_BAKED_DIR;
    }
    return FROSTVALE_DATA_DIR;
}

// The project's page: the README as installed beside this binary, else as this build made it.
std::string FindProjectPage() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const auto installed = exe.parent_path().parent_path() / "share/doc/frostvale/README.html";
        if (std::filesystem::exists(installed, ec)) return "file://" + installed.string();
    }
    return "file://" FROSTVALE_BUILD_PAGE;
}
}  // namespace

int main(int argc, char** argv) {
    InstallQuitSignals();
    const ParseResult parsed = ParseOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "frostvale: %s\nTry 'frostvale --help'.\n", parsed.error.c_str());
        return 2;
    }
    RunContext run;
    run.options = parsed.options;
    if (run.options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (run.options.version) {
        std::printf("frostvale %s\n", FROSTVALE_VERSION);
        return 0;
    }

    DefaultsStore store = DefaultsStore::ForModule(kSettingsModule);
    std::string storeError;
    std::vector<std::string> notes;
    run.settings = LoadSettings(&store, &storeError, &notes);
    if (!storeError.empty()) std::fprintf(stderr, "frostvale: settings: %s\n", storeError.c_str());
    for (const std::string& note : notes) std::fprintf(stderr, "frostvale: %s\n", note.c_str());
    if (run.options.settingsSheet) {
        SettingsSheet sheet(&run.settings, store.Path(), FindProjectPage(),
                            [](const std::string& address, std::string* error) {
                                return SpawnDetached({"xdg-open", address}, error);
                            });
        return RunSettingsWindow(&sheet);
    }
    ApplyOverrides(&run.settings, run.options.overrides);
    if (run.options.printSettings) {
        std::fputs(FormatSettings(run.settings).c_str(), stdout);
        return 0;
    }
    run.resourcePath = FindResources(run.options);

    switch (run.options.mode) {
        case HostMode::Headless: return RunHeadless(run);
        case HostMode::Fullscreen: return RunFullscreen(run);
        case HostMode::XScreenSaver: return RunXScreenSaver(run);
        case HostMode::Window: break;
    }
    return RunWindow(run);
}
