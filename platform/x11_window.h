// The little of Xlib the saver needs for windows it does not own, for the
// screens of a display, and for X errors. (The saver alone also replaces
// Xlib's XGetGeometry: platform/x11_geometry_guard.cpp.)
#pragma once

#include <string>

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

// The number of X screens of the display and the one $DISPLAY names.
int XScreenCount();
int XDefaultScreen();
struct ForeignWindowInfo {
    int screen = -1;
    unsigned long visual = 0;  // its visual's id
};
// What the GL context for window `xid` must match; false if there is no such window.
bool QueryForeignWindow(unsigned long xid, ForeignWindowInfo* info);
// Where the pointer is on the screen $DISPLAY names; false if it is on another.
bool PointerPosition(int* x, int* y);
// The display's name with its screen part set to `screen` (":1" -> ":1.2").
std::string XDisplayNameForScreen(int screen);
// `name` with its screen part set to `screen`; the testable half of the above.
std::string DisplayNameWithScreen(const std::string& name, int screen);

// Puts the saver's X error handlers in place of the current ones (SDL's,
// which fall through to Xlib's: print and exit). Call after SDL has started
// its video, which installs its own. An error never ends the process: it is
// recorded for the host loop. The X server going away ends the run at once
// with status 0: nothing is left to draw on.
void InstallXErrorHandlers();
// From now on, errors that name `xid`, or its destruction, mean its owner has
// destroyed it (ForeignWindowSize reads the news).
void WatchForeignWindow(unsigned long xid);
bool ForeignWindowLost();
// Watches window `xid` on a connection and thread of its own, so that its
// destruction (or the server going away) is seen while the main thread is
// busy with a frame: it then calls RequestPromptQuit. False if the watch
// could not be set up.
bool WatchForeignWindowFromAThread(unsigned long xid);
// The first X error not explained by a lost foreign window, as one line; empty
// if there was none. Clears it.
std::string TakeXError();
// Waits until the X server has answered every request on `display` (an Xlib
// Display*), so that errors still in flight reach the saver's handler.
void SyncX(void* display);
