// The settings sheet without its window: the eleven controls in sheet order,
// what each button does, and which control is enabled. The window
// (host/settings_window.*) only draws it and reports clicks.
//
// The controls show the view's fields, never the store: Cancel throws the
// controls away and the next Open shows the fields again. Save stores the
// controls, updates the fields and closes; Defaults only fills the controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/settings.h"

class SettingsSheet {
public:
    struct Control {
        const SettingRow* row;
        long long value = 0;  // check boxes 1 or 0, the menu's item index, or the count
        bool enabled = true;
    };
    // Opens `address` in the user's browser; false (and `error` says why) if it could not.
    using Browser = std::function<bool(const std::string& address, std::string* error)>;

    // `fields` must outlive the sheet; `storePath` is the file Save writes.
    SettingsSheet(ViewSettings* fields, std::string storePath, std::string webAddress, Browser browser);

    // Fills the controls from the fields and opens the sheet.
    void Open();
    bool IsOpen() const { return open_; }

    const std::vector<Control>& Controls() const { return controls_; }
    // The control of a stored key; null if the sheet has none.
    const Control* Find(const std::string& key) const;
    // Sets a control as the user would, bounded by its row's range; a check
    // box other controls depend on updates their states at once.
    void Set(const std::string& key, long long value);

    // Stores every control under its key in store order (the version is not
    // written) and synchronizes. On success the fields take the controls'
    // values and the sheet closes; on failure it stays open and `error` says why.
    bool Save(std::string* error);
    void Cancel() { open_ = false; }
    void Defaults();
    bool OpenWebSite(std::string* error) const { return browser_(webAddress_, error); }
    const std::string& WebAddress() const { return webAddress_; }

    // Enables each control exactly when the check box it depends on is on.
    void UpdateStates();

private:
    Control* FindControl(const std::string& key);

    ViewSettings* fields_;
    std::string storePath_;
    std::string webAddress_;
    Browser browser_;
    std::vector<Control> controls_;
    bool open_ = false;
};
