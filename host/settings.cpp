#include "host/settings.h"

#include "assets/tunes.h"

namespace {
SettingRow Bool(const char* key, const char* label, bool fallback, bool SETTINGS::*field, const char* option,
                int sheetPosition) {
    return {key,     SettingKind::Bool, label,  0, 1, fallback, nullptr, nullptr, field,
            option, sheetPosition,     nullptr, 0,        nullptr};
}
SettingRow Integer(const char* key, const char* label, long long min, long long max, long long fallback,
                   int SETTINGS::*field, const char* option, int sheetPosition) {
    return {key,    SettingKind::Integer, label,   min, max,    fallback, nullptr, field, nullptr,
            option, sheetPosition,        nullptr, 0,   nullptr};
}

// What ends up in a note comes from a hand-edited file: keep it printable.
std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    return out;
}
}  // namespace

const std::vector<SettingRow>& SettingsTable() {
    static const std::vector<SettingRow> table = [] {
        SettingRow mainOnly = Bool("MainMonitorOnly", "Main display only", false, nullptr, "main-monitor-only", 0);
        mainOnly.boolField = &ViewSettings::MainMonitorOnly;
        SettingRow tune = Integer("SelectedTune", "Carol", 0, kRandomTune, kRandomTune, &SETTINGS::SelectedTune,
                                  "tune", 2);
        tune.choices = TuneNames;
        tune.choiceCount = kTuneMenuCount;
        tune.enabledBy = "PlayMusic";  // no carol to choose when none plays
        // Every XScreenSaver hack takes -delay; unset, the view chooses (1/60 s,
        // or 1/30 s on a software rasteriser). Below 1/60 s it changes nothing.
        SettingRow delay = Integer("delay", "Frame rate", 0, 100000, 16667, nullptr, "delay", -1);
        delay.kind = SettingKind::RunInteger;
        delay.runField = &ViewSettings::frameDelay;
        return std::vector<SettingRow>{
            {"version", SettingKind::Version, "Settings version", 0, 0, 0, nullptr, nullptr, nullptr, nullptr, -1,
             nullptr, 0, nullptr},
            mainOnly,
            Bool("PlayMusic", "Play carols", true, &SETTINGS::PLAYMUSIC, "music", 1),
            Bool("ShowCountdown", "Show the countdown", true, &SETTINGS::SHOWCOUNTDOWN, "countdown", 3),
            Bool("ShowSparkles", "Show sparkles", true, &SETTINGS::SHOWSPARKLES, "sparkles", 9),
            Bool("ShowSmoke", "Show chimney smoke", true, &SETTINGS::SHOWSMOKE, "smoke", 8),
            Bool("ShowTrees", "Show trees", true, &SETTINGS::SHOWTREES, "trees", 10),
            tune,
            Integer("NumStars", "Stars", 0, 2000, 400, &SETTINGS::NUM_STARS, "stars", 5),
            Integer("NumSnow", "Snowflakes", 0, 5000, 750, &SETTINGS::NUM_SNOW, "snow", 4),
            Integer("NumReindeer", "Reindeer pairs", 0, 20, 1, &SETTINGS::NUM_REINDEER, "reindeer", 6),
            Integer("NumHouses", "Houses", 10, 100, 40, &SETTINGS::NUM_HOUSES, "houses", 7),
            delay,
        };
    }();
    return table;
}

const SettingRow* FindSetting(const std::string& key) {
    for (const SettingRow& row : SettingsTable()) {
        if (key == row.key) return &row;
    }
    return nullptr;
}

bool ReadSetting(const ViewSettings& s, const SettingRow& row, long long* value) {
    switch (row.kind) {
        case SettingKind::Version: return false;
        case SettingKind::Bool:
            *value = (row.boolField != nullptr ? s.*row.boolField : s.settings.*row.settingsBoolField) ? 1 : 0;
            return true;
        case SettingKind::Integer: *value = s.settings.*row.intField; return true;
        case SettingKind::RunInteger: *value = s.*row.runField; return *value >= 0;
    }
    return false;
}

void WriteSetting(ViewSettings* s, const SettingRow& row, long long value) {
    switch (row.kind) {
        case SettingKind::Version: break;
        case SettingKind::Bool:
            if (row.boolField != nullptr) s->*row.boolField = value != 0;
            else s->settings.*row.settingsBoolField = value != 0;
            break;
        case SettingKind::Integer:
            // Rows' ranges lie inside int, so the clamp also keeps the cast from wrapping.
            s->settings.*row.intField = static_cast<int>(value < row.minimum   ? row.minimum
                                                         : value > row.maximum ? row.maximum
                                                                               : value);
            break;
        case SettingKind::RunInteger:
            s->*row.runField = static_cast<int>(value < row.minimum   ? row.minimum
                                                : value > row.maximum ? row.maximum
                                                                      : value);
            break;
    }
}

ViewSettings LoadSettings(DefaultsStore* store, std::string* error, std::vector<std::string>* notes) {
    const std::optional<std::string> version = store->StringForKey("version");
    if (version != kSettingsVersion) {
        // Whatever the user wrote goes beside the store before the defaults take its place.
        std::string aside;
        store->KeepAside(version ? "has version \"" + Printable(*version) + "\", not " + kSettingsVersion
                                 : std::string("has no version line"),
                         &aside);
        for (const SettingRow& row : SettingsTable()) {
            switch (row.kind) {
                case SettingKind::Version: store->SetString(row.key, kSettingsVersion); break;
                case SettingKind::Bool: store->SetBool(row.key, row.fallback != 0); break;
                case SettingKind::Integer: store->SetInteger(row.key, row.fallback); break;
                case SettingKind::RunInteger: break;
            }
        }
        store->Synchronize(error);
        if (error != nullptr && error->empty()) *error = aside;
        return ViewSettings{};
    }

    ViewSettings loaded;
    auto note = [&](const std::string& line) {
        if (notes != nullptr) notes->push_back(line);
    };
    for (const SettingRow& row : SettingsTable()) {
        if (row.kind == SettingKind::Version || row.kind == SettingKind::RunInteger) continue;
        const IntegerReading reading = store->ReadInteger(row.key);
        long long value = reading.value;
        if (reading.state == IntegerReading::State::Absent) {
            // A key left out of a hand-written file means "as usual", not 0.
            value = row.fallback;
            note(std::string(row.key) + " is missing; using " + std::to_string(value));
        } else if (reading.state == IntegerReading::State::NotANumber) {
            value = row.fallback;
            note(std::string(row.key) + "=" + Printable(*store->StringForKey(row.key)) +
                 " is not a whole number; using " + std::to_string(value));
        } else if (value < row.minimum || value > row.maximum) {
            value = value < row.minimum ? row.minimum : row.maximum;
            note(std::string(row.key) + "=" + Printable(*store->StringForKey(row.key)) + " is out of range " +
                 std::to_string(row.minimum) + "-" + std::to_string(row.maximum) + "; using " +
                 std::to_string(value));
        }
        WriteSetting(&loaded, row, value);
    }
    return loaded;
}

std::string FormatSettings(const ViewSettings& settings) {
    std::string out;
    for (const SettingRow& row : SettingsTable()) {
        long long value = 0;
        const bool known = ReadSetting(settings, row, &value);
        if (row.kind == SettingKind::RunInteger && !known) continue;  // not given for this run
        out += row.key;
        out += '=';
        if (known) out += std::to_string(value);
        else out += kSettingsVersion;
        out += '\n';
    }
    return out;
}

void ApplyOverrides(ViewSettings* settings, const std::vector<SettingOverride>& overrides) {
    for (const SettingOverride& o : overrides) WriteSetting(settings, *o.row, o.value);
}
