// The critical alert shown for image decoding errors: a title ("ERROR" or
// "Invalid Image"), a message and one "OK" button; loading waits until the
// user dismisses it.
//
// The assets module knows no windowing toolkit, so the view's context carries
// the handler the host chose: an SDL message box when there is a display.
#pragma once

#include "assets/context.h"

// Shows the alert through `owner`'s handler; without an owner, or when it has
// none, writes one line `TITLE: message` to stderr.
void MessageBox(const EngineContext* owner, const char* message, const char* title);
