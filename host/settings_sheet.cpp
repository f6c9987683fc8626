#include "host/settings_sheet.h"

#include <algorithm>

SettingsSheet::SettingsSheet(ViewSettings* fields, std::string storePath, std::string webAddress, Browser browser)
    : fields_(fields), storePath_(std::move(storePath)), webAddress_(std::move(webAddress)), browser_(std::move(browser)) {
    for (const SettingRow& row : SettingsTable()) {
        if (row.sheetPosition >= 0) controls_.push_back({&row});
    }
    std::sort(controls_.begin(), controls_.end(),
              [](const Control& a, const Control& b) { return a.row->sheetPosition < b.row->sheetPosition; });
}

void SettingsSheet::Open() {
    for (Control& control : controls_) ReadSetting(*fields_, *control.row, &control.value);
    UpdateStates();
    open_ = true;
}

const SettingsSheet::Control* SettingsSheet::Find(const std::string& key) const {
    for (const Control& control : controls_) {
        if (key == control.row->key) return &control;
    }
    return nullptr;
}

SettingsSheet::Control* SettingsSheet::FindControl(const std::string& key) {
    return const_cast<Control*>(static_cast<const SettingsSheet*>(this)->Find(key));
}

void SettingsSheet::Set(const std::string& key, long long value) {
    Control* control = FindControl(key);
    if (control == nullptr) return;
    const SettingRow& row = *control->row;
    control->value = std::clamp(value, row.minimum, row.maximum);
    UpdateStates();
}

void SettingsSheet::UpdateStates() {
    for (Control& control : controls_) {
        if (control.row->enabledBy == nullptr) continue;
        const Control* box = Find(control.row->enabledBy);
        control.enabled = box == nullptr || box->value != 0;
    }
}

void SettingsSheet::Defaults() {
    for (Control& control : controls_) control.value = control.row->fallback;
    UpdateStates();
}

bool SettingsSheet::Save(std::string* error) {
    // Opened afresh, so keys this sheet does not show (and their order) survive.
    DefaultsStore store(storePath_);
    // Choices saved into a store without this version would be replaced by the
    // defaults on the next load, so such a store gets the version too.
    if (store.StringForKey("version") != kSettingsVersion) store.SetString("version", kSettingsVersion);
    ViewSettings saved = *fields_;
    for (const SettingRow& row : SettingsTable()) {
        const Control* control = Find(row.key);
        if (control == nullptr) continue;
        WriteSetting(&saved, row, control->value);
        long long value = 0;
        ReadSetting(saved, row, &value);
        if (row.kind == SettingKind::Bool) store.SetBool(row.key, value != 0);
        else store.SetInteger(row.key, value);
    }
    if (!store.Synchronize(error)) return false;
    *fields_ = saved;
    open_ = false;
    return true;
}
