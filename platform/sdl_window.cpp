#include "platform/sdl_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/wayland_probe.h"
#include "platform/x11_window.h"

namespace {
bool gVideoStarted = false;
void* gSdlXDisplay = nullptr;  // SDL's own X connection, once a window shows it

void RequestPixelFormat() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}
}  // namespace

std::string VideoDriversFor(const char* userChoice, const char* waylandDisplay, bool x11Only) {
    if (x11Only) return "x11";
    if (userChoice != nullptr && userChoice[0] != '\0') return userChoice;
    if (waylandDisplay != nullptr && waylandDisplay[0] != '\0') return "wayland,x11";
    return "x11";
}

std::string WithoutVideoDriver(const std::string& drivers, const std::string& driver) {
    std::istringstream in(drivers);
    std::string kept, name;
    while (std::getline(in, name, ',')) {
        if (name.empty() || name == driver) continue;
        kept += (kept.empty() ? "" : ",") + name;
    }
    return kept;
}

bool StartSdlVideo(std::string* error, bool x11Only) {
    if (gVideoStarted) return true;
    // Our own handlers end the run cleanly; SDL's would only queue a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    std::string drivers = VideoDriversFor(std::getenv("SDL_VIDEODRIVER"), std::getenv("WAYLAND_DISPLAY"), x11Only);
    std::string whyNotWayland;
    if (WithoutVideoDriver(drivers, "wayland") != drivers) {
        switch (ProbeWaylandCompositor()) {
            case WaylandProbe::Usable: break;
            case WaylandProbe::NoSeat:
                whyNotWayland = "the Wayland compositor has no seat, so no keyboard or pointer";
                break;
            case WaylandProbe::NoCompositor:
                whyNotWayland = "no Wayland compositor answers";
                break;
        }
        if (!whyNotWayland.empty()) drivers = WithoutVideoDriver(drivers, "wayland");
    }
    if (drivers.empty()) {
        if (error != nullptr) *error = whyNotWayland;
        return false;
    }
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
    // SDL lists the monitors of every X screen but places windows and finds
    // GL visuals by position alone, and every screen starts at (0, 0): with
    // several screens it would put them all on the first. Then SDL sees only
    // the screen $DISPLAY names, whole; each screen runs its own saver.
    if (XScreenCount() > 1) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (error != nullptr) *error = SDL_GetError() + (whyNotWayland.empty() ? "" : "; " + whyNotWayland);
        return false;
    }
    // SDL's handler passes X errors on to Xlib's, which exits; a window the
    // daemon destroys under us must end the run cleanly instead.
    InstallXErrorHandlers();
    RequestPixelFormat();
    gVideoStarted = true;
    return true;
}

bool SdlVideoIsWayland() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

void StopSdlVideo() {
    if (!gVideoStarted) return;
    // SDL puts Xlib's exiting handler back before it closes its connection:
    // let the errors of the last requests (into a window already gone) reach ours first.
    SyncX(gSdlXDisplay);
    gSdlXDisplay = nullptr;
    SDL_Quit();
    gVideoStarted = false;
}

void RequestSdlDepthBuffer(bool depth) { SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth ? 16 : 0); }

std::string SdlRendererName() {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) return {};
    std::string name;
    if (SDL_GLContext context = SDL_GL_CreateContext(window); context != nullptr) {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (renderer != nullptr) name = renderer;
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
    return name;
}

int SdlDisplayCount() { return SDL_GetNumVideoDisplays(); }

void SyncSdlVideo() { SyncX(gSdlXDisplay); }

std::unique_ptr<SdlWindowSurface> SdlWindowSurface::CreateWindow(const char* title, int width, int height,
                                                                 int display, bool fullscreen, std::string* error) {
    std::unique_ptr<SdlWindowSurface> self(new SdlWindowSurface());
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    int x = SDL_WINDOWPOS_CENTERED_DISPLAY(display), y = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
    if (fullscreen) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) == 0) {
            x = bounds.x;
            y = bounds.y;
            width = bounds.w;
            height = bounds.h;
        }
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    }
    self->window_ = SDL_CreateWindow(title, x, y, width, height, flags);
    if (self->window_ == nullptr) {
        if (error != nullptr) *error = std::string("cannot create a window: ") + SDL_GetError();
        return nullptr;
    }
    if (!self->CreateContext(error)) return nullptr;
    return self;
}

std::unique_ptr<SdlWindowSurface> SdlWindowSurface::AdoptForeignWindow(unsigned long xid, unsigned long visual,
                                                                     std::string* error) {
    std::unique_ptr<SdlWindowSurface> self(new SdlWindowSurface());
    // SDL makes a foreign window's context from the window's attributes and
    // reads them unchecked: a window destroyed at that moment crashes it. So
    // the context is made on a hidden window of ours with the same visual,
    // and only made current on the foreign one, which fails cleanly.
    char visualId[32];
    std::snprintf(visualId, sizeof visualId, "0x%lx", visual);
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, visualId);
    self->contextWindow_ = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, "");
    if (self->contextWindow_ == nullptr) {
        if (error != nullptr) *error = std::string("cannot create a GL context: ") + SDL_GetError();
        return nullptr;
    }
    self->window_ = self->contextWindow_;
    if (!self->CreateContext(error)) return nullptr;
    self->window_ = nullptr;

    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    self->window_ = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<std::uintptr_t>(xid)));
    if (self->window_ == nullptr) {
        if (error != nullptr) *error = std::string("cannot use X window ") + std::to_string(xid) + ": " + SDL_GetError();
        return nullptr;
    }
    self->foreign_ = true;
    self->xid_ = xid;
    if (!self->MakeCurrent()) {
        if (error != nullptr) *error = std::string("cannot draw into X window ") + std::to_string(xid) + ": " + SDL_GetError();
        return nullptr;
    }
    return self;
}

bool SdlWindowSurface::CreateContext(std::string* error) {
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        if (error != nullptr) *error = std::string("cannot create a GL context: ") + SDL_GetError();
        return false;
    }
    // Pacing is the host loop's; vsync would stall every extra window by a refresh.
    SDL_GL_SetSwapInterval(0);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) gSdlXDisplay = info.info.x11.display;
    return true;
}

bool SdlWindowSurface::SyncToRefresh() {
    if (SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_)) != 0) return false;
    if (SDL_GL_SetSwapInterval(1) != 0) return false;
    // Some drivers accept the interval and ignore it (software ones under a
    // virtual server). Six swaps that block span at least four refreshes, even
    // with a frame or two queued ahead.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const Uint64 start = SDL_GetPerformanceCounter();
    for (int i = 0; i < 6; ++i) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window_);
    }
    glFinish();
    const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - start) /
                           static_cast<double>(SDL_GetPerformanceFrequency());
    SDL_DisplayMode mode;
    int hz = 60;
    if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window_)), &mode) == 0 &&
        mode.refresh_rate > 0) {
        hz = mode.refresh_rate;
    }
    if (seconds >= 3.5 / hz) return true;
    SDL_GL_SetSwapInterval(0);
    return false;
}

SdlWindowSurface::~SdlWindowSurface() {
    if (context_ != nullptr) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    // A foreign window's SDL record goes; the X window itself stays its owner's.
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (contextWindow_ != nullptr) SDL_DestroyWindow(contextWindow_);
}

bool SdlWindowSurface::MakeCurrent() {
    return SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_)) == 0;
}

void SdlWindowSurface::Present() { SDL_GL_SwapWindow(window_); }

DrawableSize SdlWindowSurface::Size() const {
    if (foreign_) {
        // SDL does not follow a window it did not create; ask the X server.
        return ForeignWindowSize(xid_);  // {0, 0} once the owner has destroyed it
    }
    DrawableSize size;
    SDL_GL_GetDrawableSize(window_, &size.width, &size.height);
    return size;
}

unsigned SdlWindowSurface::WindowId() const { return SDL_GetWindowID(window_); }

int SdlWindowSurface::DisplayIndex() const { return SDL_GetWindowDisplayIndex(window_); }

void SdlWindowSurface::ToggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void ShowSdlAlert(const char* title, const char* message) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, message, nullptr) != 0) {
        std::fprintf(stderr, "%s: %s\n", title, message);
    }
}

void* SdlWindowSurface::GetProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }
