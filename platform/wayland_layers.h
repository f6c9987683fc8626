// The saver's own Wayland client: one layer-shell surface per output, each
// with an EGL window and a desktop-GL compatibility context, so the engine's
// GL 1.x draws there unchanged. Outputs may come and go while it runs; the
// host learns of it by asking for new and lost surfaces between frames.
//
// Pacing is the compositor's: swaps never wait (swap interval 0), and a
// surface asks for a frame callback with every swap. Until that callback
// comes (the output is off, or the surface hidden) the surface is not ready,
// so the host neither draws it nor wakes for it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_surface.h"

class WaylandLayerShell;

class WaylandLayerSurface final : public GLSurface {
public:
    ~WaylandLayerSurface() override;
    WaylandLayerSurface(const WaylandLayerSurface&) = delete;
    WaylandLayerSurface& operator=(const WaylandLayerSurface&) = delete;

    bool MakeCurrent() override;
    // Asks for the next frame callback, then swaps without waiting.
    void Present() override;
    // The buffer in pixels: the configured size times the output's scale.
    DrawableSize Size() const override;
    void* GetProcAddress(const char* name) override;

    // Configured by the compositor and its last frame shown: may draw now.
    bool ReadyToDraw() const;
    // The order the outputs were first seen in, from 0.
    int OutputOrder() const { return order_; }
    const std::string& OutputName() const { return outputName_; }

    struct Protocol;  // the Wayland and EGL objects, known only to the source

private:
    friend class WaylandLayerShell;
    friend struct WaylandGlue;

    explicit WaylandLayerSurface(WaylandLayerShell* shell);
    void ApplySize();

    WaylandLayerShell* shell_;
    std::unique_ptr<Protocol> p_;
    int order_ = 0;
    std::string outputName_;
    int logicalWidth_ = 0, logicalHeight_ = 0;
    int outputScale_ = 1;
    unsigned scale120_ = 0;
    DrawableSize buffer_;
    bool configured_ = false;
    bool framePending_ = false;
    bool closed_ = false;
};

// What the user did, as the seat reports it. Pointer positions are in the
// surface's logical units.
struct WaylandInput {
    enum class Kind { Key, Button, PointerEnter, PointerMotion };
    Kind kind;
    const WaylandLayerSurface* surface = nullptr;  // the one under the pointer
    double x = 0, y = 0;
};

class WaylandLayerShell {
public:
    enum class Mode {
        Overlay,     // above everything, the keyboard exclusively ours
        Background,  // behind a lock: no input asked for
    };
    // Decides from the GL_RENDERER of a context on the display whether the
    // surfaces get a depth buffer (as RequestSdlDepthBuffer does for SDL's).
    using DepthChoice = std::function<bool(const std::string& glRenderer)>;
    // Connects to $WAYLAND_DISPLAY and binds what it needs; null and `error`
    // if the compositor lacks layer shell or EGL cannot draw there.
    static std::unique_ptr<WaylandLayerShell> Connect(Mode mode, const DepthChoice& wantsDepth, std::string* error);
    ~WaylandLayerShell();
    WaylandLayerShell(const WaylandLayerShell&) = delete;
    WaylandLayerShell& operator=(const WaylandLayerShell&) = delete;

    // Surfaces made since the last call (one per new output), in output order.
    std::vector<WaylandLayerSurface*> TakeNewSurfaces();
    // Surfaces whose output went away or which the compositor closed. The
    // host ends their views, then hands each back to Destroy.
    std::vector<WaylandLayerSurface*> TakeLostSurfaces();
    void Destroy(WaylandLayerSurface* surface);
    int SurfaceCount() const;

    // Handles whatever the compositor sent, waiting for it at most until
    // `deadline` (CLOCK_MONOTONIC seconds; infinity: a short while). Input
    // goes to `onInput`. False once the connection is lost.
    bool Dispatch(double deadline, const std::function<void(const WaylandInput&)>& onInput);

    struct Protocol;  // the Wayland and EGL objects, known only to the source

private:
    friend class WaylandLayerSurface;
    friend struct WaylandGlue;
    friend struct WaylandPointerGlue;
    friend struct WaylandSeatGlue;
    friend struct WaylandRegistryGlue;
    WaylandLayerShell() = default;
    void AddOutput(unsigned name, unsigned version);
    void MakeSurface(unsigned outputName);

    Mode mode_ = Mode::Overlay;
    std::unique_ptr<Protocol> p_;
    std::vector<std::unique_ptr<WaylandLayerSurface>> surfaces_;
    std::vector<WaylandLayerSurface*> new_, lost_;
    int nextOrder_ = 0;
    const std::function<void(const WaylandInput&)>* onInput_ = nullptr;
};
