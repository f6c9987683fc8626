// frostvale: the saver. Parses the command line, loads the settings and hands
// over to one of the four hosts.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "assets/resource_contract.h"
#include "host/hosts.h"
#include "host/settings_window.h"
#include "host/xscreensaver_list.h"
#include "platform/spawn.h"
#include "platform/signals.h"

namespace {
// The folder this binary sits in, as the kernel has it (symlinks resolved).
std::filesystem::path ExeDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

// --resources, else the folder baked beside this build (build/host/../resources),
// else the data folder beside an installed binary (bin/../share/frostvale), so an
// installed tree works wherever its prefix is, else the configured data folder.
std::string FindResources(const Options& options) {
    if (!options.resources.empty()) return options.resources;
    std::error_code ec;
    const auto exeDir = ExeDir();
    if (!exeDir.empty()) {
        for (const auto& candidate : {exeDir.parent_path() / "resources", exeDir.parent_path() / "share/frostvale"}) {
            if (std::filesystem::exists(candidate / kOverlayImageFile, ec)) return candidate.string();
        }
    }
    return FROSTVALE_DATA_DIR;
}

std::string FileAddress(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string address = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            address += static_cast<char>(c);
        } else {
            address += '%';
            address += hex[c >> 4];
            address += hex[c & 15];
        }
    }
    return address;
}

// The project's page: the README as installed beside this binary, else as this build made it.
std::string FindProjectPage() {
    std::error_code ec;
    const auto exeDir = ExeDir();
    if (!exeDir.empty()) {
        const auto installed = exeDir.parent_path() / "share/doc/frostvale/README.html";
        if (std::filesystem::exists(installed, ec)) return FileAddress(installed.string());
    }
    return FileAddress(FROSTVALE_BUILD_PAGE);
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

    if (run.options.xscreensaverAdd || run.options.xscreensaverRemove) {
        return RunXScreenSaverListCommand(run.options.xscreensaverAdd);
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
