// SDL2 drawables: a window of our own (windowed or full screen on one
// display) or a foreign X11 window that another program owns (the
// XScreenSaver daemon's). Each has its own GL context with the saver's pixel
// format: 8 bits per colour channel, 16-bit depth (none for a light window on
// a software rasteriser), double-buffered.
#pragma once

#include <memory>
#include <string>

#include "platform/gl_surface.h"

struct SDL_Window;

// Starts SDL's video once per process (idempotent); false and `error` if
// there is no display. `x11Only` for drawing into another program's X window;
// otherwise a Wayland session gets SDL's Wayland driver (see VideoDriversFor).
bool StartSdlVideo(std::string* error, bool x11Only = false);
// Whether the video started is SDL's Wayland driver: no X screens, no global
// pointer position, every output listed to this one process.
bool SdlVideoIsWayland();
// The SDL video drivers to try, in SDL's hint syntax ("wayland,x11"): the
// user's $SDL_VIDEODRIVER when set, else SDL's Wayland driver with X11
// (Xwayland) behind it when $WAYLAND_DISPLAY is set, else X11 alone. Never
// SDL's other fallbacks (offscreen, KMS), which would "succeed" with no
// display and show nothing. `x11Only` gives X11 whatever the rest say.
std::string VideoDriversFor(const char* userChoice, const char* waylandDisplay, bool x11Only);
// `drivers` (comma-separated) without every entry named `driver`.
std::string WithoutVideoDriver(const std::string& drivers, const std::string& driver);
void StopSdlVideo();
// Whether the windows and foreign-window contexts made from now on have a
// depth buffer (16 bits; the default) or none. Needs the video started.
void RequestSdlDepthBuffer(bool depth);
// GL_RENDERER of a GL context SDL makes on this display, from a hidden
// window made and destroyed for the purpose; empty when none can be made.
std::string SdlRendererName();
int SdlDisplayCount();
// Waits until the X server has carried out every request SDL has made.
void SyncSdlVideo();

class SdlWindowSurface final : public GLSurface {
public:
    // A window of width x height on `display`; with `fullscreen` it covers that display.
    static std::unique_ptr<SdlWindowSurface> CreateWindow(const char* title, int width, int height, int display,
                                                          bool fullscreen, std::string* error);
    // Draws into X11 window `xid` (of visual `visual`), which stays its
    // owner's: never resized, moved or destroyed here.
    static std::unique_ptr<SdlWindowSurface> AdoptForeignWindow(unsigned long xid, unsigned long visual,
                                                                std::string* error);
    ~SdlWindowSurface() override;

    bool MakeCurrent() override;
    void Present() override;
    DrawableSize Size() const override;
    void* GetProcAddress(const char* name) override;

    SDL_Window* Window() const { return window_; }
    unsigned WindowId() const;  // SDL's id, to route events
    int DisplayIndex() const;
    void ToggleFullscreen();
    bool IsForeign() const { return foreign_; }
    // Swaps wait for the display's refresh, if the driver really does that
    // (tear-free); true if it does. Off otherwise, and for every other window:
    // the host loop paces the frames either way.
    bool SyncToRefresh();

private:
    SdlWindowSurface() = default;
    bool CreateContext(std::string* error);

    SDL_Window* window_ = nullptr;
    SDL_Window* contextWindow_ = nullptr;  // a foreign window's GL context was made on this one
    void* context_ = nullptr;              // SDL_GLContext
    bool foreign_ = false;
    unsigned long xid_ = 0;
};

// Shows an image alert as an SDL message box (one "OK" button), or on stderr
// when SDL cannot; returns once it is dismissed.
void ShowSdlAlert(const char* title, const char* message);
