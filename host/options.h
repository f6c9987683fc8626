// The saver's command line. Every long option may also be written with a
// single dash, as XScreenSaver hacks are (-root, -window-id, -fps), and a
// value may follow as the next word or after "=".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/frame_budget.h"
#include "host/settings.h"

enum class HostMode { Window, Fullscreen, XScreenSaver, Headless };

struct Options {
    HostMode mode = HostMode::Window;
    bool preview = false;
    bool showFps = false;
    std::string resources;  // empty: search the usual places
    int width = 1280;       // headless drawable size
    int height = 720;
    double seconds = 10.0;  // headless: simulated seconds to run
    double frameRate = 60.0;
    std::string snapshot;
    std::string framesDir;
    std::optional<std::uint32_t> seed;
    std::optional<std::string> now;  // "YYYY-MM-DD HH:MM:SS", local time at start
    bool root = false;
    bool toplevel = false;  // Wayland full screen: SDL's windows even where layer shell is offered
    std::optional<unsigned long> windowId;
    bool printSettings = false;
    bool settingsSheet = false;
    bool xscreensaverAdd = false;  // edit the programs list of ~/.xscreensaver and exit
    bool xscreensaverRemove = false;
    std::vector<SettingOverride> overrides;  // in command-line order; the last one of a key wins
    std::string trace;  // one line of scene state per drawn frame
    int shot = -1;      // 0-8: every camera shot is this kind; -1 the camera chooses
    Quality quality = Quality::Auto;
    bool help = false;
    bool version = false;
};

struct ParseResult {
    Options options;
    std::string error;  // non-empty: a usage error, exit status 2
};

// `xscreensaverWindow` is the XSCREENSAVER_WINDOW variable, if set.
ParseResult ParseOptions(int argc, const char* const* argv, const char* xscreensaverWindow);

std::string UsageText();

// One line of help per option, in the order --help lists them; the settings
// overrides come from the settings table.
struct OptionHelp {
    std::string spelling;  // "--snow N", "--[no-]smoke", "--window-id ID"
    std::string help;
};
std::vector<OptionHelp> OptionHelpLines();

// Hex with 0x, else decimal; false for anything else or zero.
bool ParseWindowId(const std::string& text, unsigned long* id);
