// The settings sheet's window: draws a SettingsSheet with Dear ImGui in an
// SDL2 window and hands it the user's clicks. Closing the window is Cancel.
#pragma once

#include "host/settings_sheet.h"

// Runs until Save succeeds, Cancel, the window is closed or a quit signal.
// Returns the exit status: 0, or 1 if there is no display.
int RunSettingsWindow(SettingsSheet* sheet);
