// The settings table: one row per stored key drives loading, defaulting,
// --print-settings, the command-line overrides, the settings sheet, the
// XScreenSaver XML and the manual page. Adding a setting is adding a row.
//
// Store order is the table order (RunInteger rows are not stored); a first run
// (or a store whose "version" is not "1.0") writes every row's default,
// keeping the old file beside it.
#pragma once

#include <string>
#include <vector>

#include "platform/defaults_store.h"
#include "scene/scene_settings.h"

inline constexpr const char* kSettingsModule = "qbFrostvale";
inline constexpr const char* kSettingsVersion = "1.0";

// What the view keeps: the engine's record plus the view-only choice.
struct ViewSettings {
    bool MainMonitorOnly = false;
    SETTINGS settings;
    // -delay: microseconds between frames for this run; -1 lets the view choose.
    int frameDelay = -1;
};

// RunInteger: a number for one run, given on the command line and never stored.
enum class SettingKind { Version, Bool, Integer, RunInteger };

struct SettingRow {
    const char* key;
    SettingKind kind;
    const char* label;   // for the settings sheet and the documentation
    long long minimum;   // loading clamps to these, the sheet's controls bound what users enter
    long long maximum;
    long long fallback;  // the default for Bool and Integer rows
    bool ViewSettings::*boolField;
    int SETTINGS::*intField;
    bool SETTINGS::*settingsBoolField;
    // The command-line override: `--option N` for integers, `--[no-]option` for bools.
    const char* option;
    // Where the control sits on the settings sheet, counting from 0; -1 for none.
    int sheetPosition;
    // Integer rows shown as a menu: `choiceCount` titles, item i meaning value i.
    const char* const* choices;
    int choiceCount;
    // The key of the check box that must be on for this control to be enabled; null for none.
    const char* enabledBy;
    int ViewSettings::*runField = nullptr;  // RunInteger rows
};

const std::vector<SettingRow>& SettingsTable();
const SettingRow* FindSetting(const std::string& key);

bool ReadSetting(const ViewSettings& settings, const SettingRow& row, long long* value);
void WriteSetting(ViewSettings* settings, const SettingRow& row, long long value);

// Reads every key; when the stored version is absent or not "1.0", keeps the
// user's file aside and writes and synchronizes the defaults. `error` is set
// if that write failed (the defaults are still used), else to the line saying
// where the old file went. A key that is missing or not a whole number gives
// its row's default and a stored number outside its row's range (bools are
// 0-1) is clamped; each such key adds one line to `notes`. Loading never
// rewrites a current store.
ViewSettings LoadSettings(DefaultsStore* store, std::string* error = nullptr,
                          std::vector<std::string>* notes = nullptr);

// `Key=value` lines in store order, as --print-settings shows them.
std::string FormatSettings(const ViewSettings& settings);

// A setting given on the command line: applies to one run, never stored.
struct SettingOverride {
    const SettingRow* row;
    long long value;
};
void ApplyOverrides(ViewSettings* settings, const std::vector<SettingOverride>& overrides);
