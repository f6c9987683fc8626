// The settings table: one row per stored key drives loading, defaulting,
// --print-settings and (later) the settings sheet and the XScreenSaver XML.
//
// Store order is the table order; a first run (or a store whose "version" is
// not exactly "1.0") writes every row's default, replacing whatever was there.
#pragma once

#include <string>
#include <vector>

#include "platform/defaults_store.h"
#include "scene/settings.h"

inline constexpr const char* kSettingsModule = "qbFrostvale";
inline constexpr const char* kSettingsVersion = "1.0";

// What the view keeps: the engine's record plus the view-only choice.
struct ViewSettings {
    bool MainMonitorOnly = false;
    SETTINGS settings;
};

enum class SettingKind { Version, Bool, Integer };

struct SettingRow {
    const char* key;
    SettingKind kind;
    const char* label;   // for the settings sheet and the documentation
    long long minimum;   // the sheet's control bounds what users enter
    long long maximum;
    long long fallback;  // the default for Bool and Integer rows
    bool ViewSettings::*boolField;
    int SETTINGS::*intField;
    bool SETTINGS::*settingsBoolField;
};

const std::vector<SettingRow>& SettingsTable();

// Reads every key; writes and synchronizes the defaults when the stored
// version is absent or not "1.0". `error` is set if that write failed (the
// defaults are still used).
ViewSettings LoadSettings(DefaultsStore* store, std::string* error = nullptr);

// `Key=value` lines in store order, as --print-settings shows them.
std::string FormatSettings(const ViewSettings& settings);
