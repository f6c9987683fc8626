// The critical alert shown for image decoding errors: a title ("ERROR" or
// "Invalid Image"), a message and one "OK" button; loading waits until the
// user dismisses it.
//
// The assets module knows no windowing toolkit, so the host installs the
// handler: an SDL message box when there is a display. Without one, the
// default handler writes one line `TITLE: message` to stderr.
#pragma once

#include <functional>

using AlertHandler = std::function<void(const char* title, const char* message)>;

// Installs `handler` (an empty one restores the stderr default); returns the previous one.
AlertHandler SetAlertHandler(AlertHandler handler);

// owner and flags are accepted for the callers' sake and not used.
void MessageBox(void* owner, const char* message, const char* title, int flags);
