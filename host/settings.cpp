#include "host/settings.h"

namespace {
SettingRow Bool(const char* key, const char* label, bool fallback, bool SETTINGS::*field) {
    return {key, SettingKind::Bool, label, 0, 1, fallback, nullptr, nullptr, field};
}
SettingRow Integer(const char* key, const char* label, long long min, long long max, long long fallback,
                   int SETTINGS::*field) {
    return {key, SettingKind::Integer, label, min, max, fallback, nullptr, field, nullptr};
}

bool ReadBool(const ViewSettings& s, const SettingRow& row) {
    return row.boolField != nullptr ? s.*row.boolField : s.settings.*row.settingsBoolField;
}
}  // namespace

const std::vector<SettingRow>& SettingsTable() {
    static const std::vector<SettingRow> table = {
        {"version", SettingKind::Version, "Settings version", 0, 0, 0, nullptr, nullptr, nullptr},
        {"MainMonitorOnly", SettingKind::Bool, "Main display only", 0, 1, 0, &ViewSettings::MainMonitorOnly,
         nullptr, nullptr},
        Bool("PlayMusic", "Play carols", true, &SETTINGS::PLAYMUSIC),
        Bool("ShowCountdown", "Show the countdown", true, &SETTINGS::SHOWCOUNTDOWN),
        Bool("ShowSparkles", "Show sparkles", true, &SETTINGS::SHOWSPARKLES),
        Bool("ShowSmoke", "Show chimney smoke", true, &SETTINGS::SHOWSMOKE),
        Bool("ShowTrees", "Show trees", true, &SETTINGS::SHOWTREES),
        Integer("SelectedTune", "Carol (58 plays a random one)", 0, 58, 58, &SETTINGS::SelectedTune),
        Integer("NumStars", "Stars", 0, 2000, 400, &SETTINGS::NUM_STARS),
        Integer("NumSnow", "Snowflakes", 0, 5000, 750, &SETTINGS::NUM_SNOW),
        Integer("NumReindeer", "Reindeer pairs", 0, 20, 1, &SETTINGS::NUM_REINDEER),
        Integer("NumHouses", "Houses", 10, 100, 40, &SETTINGS::NUM_HOUSES),
    };
    return table;
}

ViewSettings LoadSettings(DefaultsStore* store, std::string* error) {
    ViewSettings loaded;
    for (const SettingRow& row : SettingsTable()) {
        switch (row.kind) {
            case SettingKind::Version: break;
            case SettingKind::Bool: {
                const bool value = store->BoolForKey(row.key);
                if (row.boolField != nullptr) loaded.*row.boolField = value;
                else loaded.settings.*row.settingsBoolField = value;
                break;
            }
            case SettingKind::Integer:
                // Stored values are taken as they are; only the sheet bounds them.
                loaded.settings.*row.intField = static_cast<int>(store->IntegerForKey(row.key));
                break;
        }
    }
    if (store->StringForKey("version") == kSettingsVersion) return loaded;

    ViewSettings defaults;
    for (const SettingRow& row : SettingsTable()) {
        switch (row.kind) {
            case SettingKind::Version: store->SetString(row.key, kSettingsVersion); break;
            case SettingKind::Bool: store->SetBool(row.key, row.fallback != 0); break;
            case SettingKind::Integer: store->SetInteger(row.key, row.fallback); break;
        }
    }
    // A store that could not be read at all is the user's file all the same:
    // it goes aside as "<name>.bad" before the defaults take its place.
    std::string aside;
    store->KeepAsideUnreadable(&aside);
    store->Synchronize(error);
    if (error != nullptr && error->empty()) *error = aside;
    return defaults;
}

std::string FormatSettings(const ViewSettings& settings) {
    std::string out;
    for (const SettingRow& row : SettingsTable()) {
        out += row.key;
        out += '=';
        switch (row.kind) {
            case SettingKind::Version: out += kSettingsVersion; break;
            case SettingKind::Bool: out += ReadBool(settings, row) ? "1" : "0"; break;
            case SettingKind::Integer: out += std::to_string(settings.settings.*row.intField); break;
        }
        out += '\n';
    }
    return out;
}
