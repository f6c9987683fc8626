// The little of Xlib the saver needs for windows it does not own.
#pragma once

#include "platform/gl_surface.h"

// The screen's root window, or 0 when no X display can be opened.
unsigned long RootWindowId();
// The current size of window `xid`; {0, 0} if it is gone or unreachable.
DrawableSize ForeignWindowSize(unsigned long xid);
// Whether an X display can be opened at all ($DISPLAY set and reachable).
bool HaveX11Display();
// Whether window `xid` covers the origin of the primary monitor (the XRandR
// primary output, else the screen's top-left corner): the XScreenSaver daemon
// runs one process per monitor, and this one is on the main display.
bool WindowHoldsPrimaryOrigin(unsigned long xid);
