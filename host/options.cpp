#include "host/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "text/calendar.h"

namespace {
struct OptionRow {
    const char* name;
    const char* valueName;  // null: a switch without a value
    const char* help;
    std::function<bool(Options&, const std::string&)> apply;  // false: bad value
};

bool ParseDouble(const std::string& text, double min, double max, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < min || value > max) return false;
    *out = value;
    return true;
}

bool ParseUnsigned(const std::string& text, unsigned long long max, unsigned long long* out) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value > max) return false;
    *out = value;
    return true;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    unsigned long long w = 0, h = 0;
    // 16384 is the largest framebuffer Mesa's software rasteriser makes.
    if (!ParseUnsigned(text.substr(0, x), 16384, &w) || !ParseUnsigned(text.substr(x + 1), 16384, &h)) return false;
    if (w == 0 || h == 0) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// A real date and time of day, exactly as the countdown's calendar reads it.
bool ParseNow(const std::string& text) {
    std::tm parsed{};
    return ParseCalendarTime(text.c_str(), &parsed);
}

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        {"fullscreen", nullptr, "one full-screen view per display; a key or mouse motion quits",
         [](Options& o, const std::string&) { o.mode = HostMode::Fullscreen; return true; }},
        {"toplevel", nullptr,
         "full screen on Wayland as ordinary full-screen windows, not layer-shell overlays above everything",
         [](Options& o, const std::string&) { o.toplevel = true; return true; }},
        {"root", nullptr, "draw into $XSCREENSAVER_WINDOW, else the root window",
         [](Options& o, const std::string&) { o.root = true; return true; }},
        {"window-id", "ID", "draw into the X window ID (0x hex or decimal)",
         [](Options& o, const std::string& v) {
             unsigned long id = 0;
             if (!ParseWindowId(v, &id)) return false;
             o.windowId = id;
             return true;
         }},
        {"fps", nullptr, "show the frame rate and CPU load in a corner",
         [](Options& o, const std::string&) { o.showFps = true; return true; }},
        {"preview", nullptr, "run as a preview: no overlay, no music",
         [](Options& o, const std::string&) { o.preview = true; return true; }},
        {"resources", "DIR", "resource folder",
         [](Options& o, const std::string& v) { o.resources = v; return !v.empty(); }},
        {"headless", nullptr, "no display: draw offscreen with a simulated clock",
         [](Options& o, const std::string&) { o.mode = HostMode::Headless; return true; }},
        {"size", "WxH", "headless drawable size, each side 1-16384 (default 1280x720)",
         [](Options& o, const std::string& v) { return ParseSize(v, &o.width, &o.height); }},
        {"seconds", "T", "headless: simulated seconds to run, 0-86400 (default 10)",
         [](Options& o, const std::string& v) { return ParseDouble(v, 0.0, 86400.0, &o.seconds); }},
        {"frame-rate", "F", "headless frame rate, 1-1000 (default 60)",
         [](Options& o, const std::string& v) { return ParseDouble(v, 1.0, 1000.0, &o.frameRate); }},
        {"snapshot", "FILE.png", "headless: write the last presented frame",
         [](Options& o, const std::string& v) { o.snapshot = v; return !v.empty(); }},
        {"frames-dir", "DIR", "headless: write every presented frame as DIR/000001.png, ...",
         [](Options& o, const std::string& v) { o.framesDir = v; return !v.empty(); }},
        {"seed", "N", "seed the random generator with N instead of the clock",
         [](Options& o, const std::string& v) {
             unsigned long long n = 0;
             if (!ParseUnsigned(v, 0xffffffffull, &n)) return false;
             o.seed = static_cast<std::uint32_t>(n);
             return true;
         }},
        {"now", "\"YYYY-MM-DD HH:MM:SS\"", "local calendar time at start",
         [](Options& o, const std::string& v) {
             if (!ParseNow(v)) return false;
             o.now = v;
             return true;
         }},
        {"trace", "FILE", "write one line of scene state per drawn frame to FILE",
         [](Options& o, const std::string& v) { o.trace = v; return !v.empty(); }},
        {"shot", "N", "hold the camera on shot kind N (0-8)",
         [](Options& o, const std::string& v) {
             unsigned long long n = 0;
             if (!ParseUnsigned(v, 8, &n)) return false;
             o.shot = static_cast<int>(n);
             return true;
         }},
        {"quality", "auto|full|light",
         "light draws the scene smaller at 30 frames a second within a processor budget; auto (the default) "
         "is light on a software rasteriser, full elsewhere; headless runs are full unless light is asked for",
         [](Options& o, const std::string& v) {
             if (v == "auto") o.quality = Quality::Auto;
             else if (v == "full") o.quality = Quality::Full;
             else if (v == "light") o.quality = Quality::Light;
             else return false;
             return true;
         }},
        {"print-settings", nullptr, "print the settings as loaded and overridden, and exit",
         [](Options& o, const std::string&) { o.printSettings = true; return true; }},
        {"settings", nullptr, "open the settings sheet to edit the stored settings",
         [](Options& o, const std::string&) { o.settingsSheet = true; return true; }},
        {"xscreensaver-add", nullptr, "add frostvale to the hacks in ~/.xscreensaver (kept as .before-frostvale)",
         [](Options& o, const std::string&) { o.xscreensaverAdd = true; return true; }},
        {"xscreensaver-remove", nullptr, "take frostvale out of the hacks in ~/.xscreensaver",
         [](Options& o, const std::string&) { o.xscreensaverRemove = true; return true; }},
        {"help", nullptr, "show this help",
         [](Options& o, const std::string&) { o.help = true; return true; }},
        {"version", nullptr, "show the version",
         [](Options& o, const std::string&) { o.version = true; return true; }},
    };
    return table;
}
// The settings row a command-line name overrides: `option` for both kinds,
// `no-option` for bools. `on` says which of the two a bool was given as.
const SettingRow* FindSettingOption(const std::string& name, bool* on) {
    for (const SettingRow& row : SettingsTable()) {
        if (row.option == nullptr) continue;
        if (name == row.option) {
            *on = true;
            return &row;
        }
        if (row.kind == SettingKind::Bool && name == std::string("no-") + row.option) {
            *on = false;
            return &row;
        }
    }
    return nullptr;
}

std::string Range(const SettingRow& row) {
    return std::to_string(row.minimum) + "-" + std::to_string(row.maximum);
}

// A whole number within the row's range, or a usage error naming the range.
std::string ParseSettingValue(const SettingRow& row, const std::string& word, const std::string& text,
                              long long* value) {
    const std::string expected = "option \"" + word + "\" takes a whole number " + Range(row);
    const std::size_t digits = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (text.size() == digits || text.size() > 18) return expected + ", not \"" + text + "\"";
    for (std::size_t i = digits; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return expected + ", not \"" + text + "\"";
    }
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (number < row.minimum || number > row.maximum) return expected + ", not " + text;
    *value = number;
    return {};
}
}  // namespace

bool ParseWindowId(const std::string& text, unsigned long* id) {
    if (text.empty()) return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty()) return false;
    for (char c : digits) {
        const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
        if (!ok) return false;
    }
    errno = 0;
    const unsigned long value = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno != 0 || value == 0 || value > 0xffffffffUL) return false;
    *id = value;
    return true;
}

ParseResult ParseOptions(int argc, const char* const* argv, const char* xscreensaverWindow) {
    ParseResult result;
    Options& o = result.options;
    bool explicitMode = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word.size() < 2 || word[0] != '-') {
            result.error = "unexpected argument \"" + word + "\"";
            return result;
        }
        std::string name = word.substr(word[1] == '-' ? 2 : 1);
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : OptionTable()) {
            if (name == candidate.name) row = &candidate;
        }
        if (row == nullptr) {
            bool on = false;
            const SettingRow* setting = FindSettingOption(name, &on);
            if (setting == nullptr) {
                result.error = "unknown option \"" + word + "\"";
                return result;
            }
            long long value = on ? 1 : 0;
            if (setting->kind == SettingKind::Bool) {
                if (inlineValue) {
                    result.error = "option \"" + word + "\" takes no value";
                    return result;
                }
            } else {
                std::string text;
                if (inlineValue) {
                    text = *inlineValue;
                } else if (i + 1 < argc) {
                    text = argv[++i];
                } else {
                    result.error = "option \"" + word + "\" needs a whole number " + Range(*setting);
                    return result;
                }
                result.error = ParseSettingValue(*setting, word, text, &value);
                if (!result.error.empty()) return result;
            }
            o.overrides.push_back({setting, value});
            continue;
        }
        std::string value;
        if (row->valueName != nullptr) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                result.error = "option \"" + word + "\" needs a value " + row->valueName;
                return result;
            }
        } else if (inlineValue) {
            result.error = "option \"" + word + "\" takes no value";
            return result;
        }
        if (!row->apply(o, value)) {
            result.error = "bad value \"" + value + "\" for option -" + std::string(row->name) + " (expected " +
                           row->valueName + ")";
            return result;
        }
        explicitMode = explicitMode || name == "fullscreen" || name == "headless";
    }

    const bool foreign = o.root || o.windowId.has_value();
    if (foreign && explicitMode) {
        result.error = "-root and -window-id cannot be combined with --fullscreen or --headless";
        return result;
    }
    if (o.root && !o.windowId && xscreensaverWindow != nullptr && xscreensaverWindow[0] != '\0') {
        unsigned long id = 0;
        if (!ParseWindowId(xscreensaverWindow, &id)) {
            result.error = std::string("bad XSCREENSAVER_WINDOW \"") + xscreensaverWindow + "\"";
            return result;
        }
        o.windowId = id;
    }
    // The daemon names the window in the environment; its hacks may get no option at all.
    if (!explicitMode && !foreign && xscreensaverWindow != nullptr && xscreensaverWindow[0] != '\0') {
        unsigned long id = 0;
        if (ParseWindowId(xscreensaverWindow, &id)) o.windowId = id;
    }
    if (o.settingsSheet && (explicitMode || foreign || o.printSettings)) {
        result.error = "--settings opens the settings sheet; it cannot be combined with a way of running the saver";
        return result;
    }
    if ((o.xscreensaverAdd || o.xscreensaverRemove) &&
        (explicitMode || foreign || o.printSettings || o.settingsSheet || !o.overrides.empty() ||
         (o.xscreensaverAdd && o.xscreensaverRemove))) {
        result.error = "--xscreensaver-add and --xscreensaver-remove edit ~/.xscreensaver; they take no other option";
        return result;
    }
    if (o.settingsSheet && !o.overrides.empty()) {
        result.error = "--settings edits the stored settings; it takes no setting override";
        return result;
    }
    if (o.root || o.windowId) o.mode = HostMode::XScreenSaver;
    return result;
}

std::vector<OptionHelp> OptionHelpLines() {
    std::vector<OptionHelp> lines;
    for (const OptionRow& row : OptionTable()) {
        std::string spelling = std::string("--") + row.name;
        if (row.valueName != nullptr) spelling += std::string(" ") + row.valueName;
        lines.push_back({spelling, row.help});
    }
    for (const SettingRow& row : SettingsTable()) {
        if (row.option == nullptr) continue;
        if (row.kind == SettingKind::Bool) {
            lines.push_back({std::string("--[no-]") + row.option,
                             std::string(row.label) + " (stored default " + (row.fallback ? "on" : "off") + ")"});
        } else if (row.kind == SettingKind::RunInteger) {
            lines.push_back({std::string("--") + row.option + " N",
                             "microseconds from frame to frame, " + Range(row) + " (XScreenSaver's frame rate; unset: " +
                                 std::to_string(row.fallback) + ", twice that on a software rasteriser)"});
        } else {
            std::string help = std::string(row.label) + ", " + Range(row) + " (stored default " +
                               std::to_string(row.fallback) + ")";
            if (row.choices != nullptr) {
                help += "; " + std::to_string(row.choiceCount - 1) + " is \"" + row.choices[row.choiceCount - 1] + "\"";
            }
            lines.push_back({std::string("--") + row.option + " N", help});
        }
    }
    return lines;
}

std::string UsageText() {
    std::string text =
        "usage: frostvale [OPTION]...\n"
        "A 3-D Christmas-night screen saver. With no option it opens a 1280x720 window\n"
        "(Esc or q quits, F toggles full screen). Options may start with - or --.\n"
        "The settings options apply to this run only; they are never stored.\n\n";
    for (const OptionHelp& line : OptionHelpLines()) {
        std::string left = "  " + line.spelling;
        if (left.size() < 34) left.resize(34, ' ');
        text += left + line.help + "\n";
    }
    text += "\nExit status: 0 success, 1 run-time failure, 2 usage error.\n";
    return text;
}
