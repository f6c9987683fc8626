#include "platform/wayland_layers.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

#include "fractional-scale-v1-client-protocol.h"
#include "platform/wayland_choice.h"
#include "viewporter-client-protocol.h"
// The layer shell names an argument "namespace", as C may; C++ may not.
#define namespace name_space
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace {
// Long enough not to wake an idle saver for nothing, short enough that a quit
// signal taken by another thread (the audio callback's) is seen promptly.
constexpr double kLongestWait = 0.1;
constexpr const char* kNamespace = "frostvale";
}  // namespace

struct WaylandLayerShell::Protocol {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    unsigned compositorVersion = 0;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractional = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    const WaylandLayerSurface* pointerSurface = nullptr;
    bool registryDone = false;  // outputs seen after the first listing get their surface at once

    struct Output {
        WaylandLayerShell* shell = nullptr;  // the owner, for the output's events
        unsigned name = 0;
        wl_output* output = nullptr;
        unsigned version = 0;
        int scale = 1;
        bool done = false;
        std::string connector;
        WaylandLayerSurface* surface = nullptr;
    };
    std::vector<std::unique_ptr<Output>> outputs;

    EGLDisplay egl = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
};

struct WaylandLayerSurface::Protocol {
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
    wl_callback* frame = nullptr;
    wl_egl_window* window = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {
using Output = WaylandLayerShell::Protocol::Output;  // one wl_output and its surface

WaylandLayerSurface* SurfaceFrom(void* data) { return static_cast<WaylandLayerSurface*>(data); }
}  // namespace

// ---- the surface -----------------------------------------------------------

WaylandLayerSurface::WaylandLayerSurface(WaylandLayerShell* shell)
    : shell_(shell), p_(std::make_unique<Protocol>()) {}

WaylandLayerSurface::~WaylandLayerSurface() {
    const EGLDisplay egl = shell_->p_->egl;
    if (p_->context != EGL_NO_CONTEXT) {
        eglMakeCurrent(egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(egl, p_->context);
    }
    if (p_->eglSurface != EGL_NO_SURFACE) eglDestroySurface(egl, p_->eglSurface);
    if (p_->window != nullptr) wl_egl_window_destroy(p_->window);
    if (p_->frame != nullptr) wl_callback_destroy(p_->frame);
    if (p_->fractional != nullptr) wp_fractional_scale_v1_destroy(p_->fractional);
    if (p_->viewport != nullptr) wp_viewport_destroy(p_->viewport);
    if (p_->layer != nullptr) zwlr_layer_surface_v1_destroy(p_->layer);
    if (p_->surface != nullptr) wl_surface_destroy(p_->surface);
}

bool WaylandLayerSurface::MakeCurrent() {
    if (p_->eglSurface == EGL_NO_SURFACE) return false;
    return eglMakeCurrent(shell_->p_->egl, p_->eglSurface, p_->eglSurface, p_->context) == EGL_TRUE;
}

namespace {
void OnFrameDone(void* data, wl_callback* callback, uint32_t) {
    wl_callback_destroy(callback);
    *static_cast<wl_callback**>(data) = nullptr;
}
const wl_callback_listener kFrameListener = {OnFrameDone};
}  // namespace

void WaylandLayerSurface::Present() {
    if (p_->eglSurface == EGL_NO_SURFACE || closed_) return;
    // The callback must be asked for before the swap commits the surface.
    if (p_->frame == nullptr) {
        p_->frame = wl_surface_frame(p_->surface);
        wl_callback_add_listener(p_->frame, &kFrameListener, &p_->frame);
    }
    eglSwapBuffers(shell_->p_->egl, p_->eglSurface);
}

DrawableSize WaylandLayerSurface::Size() const { return buffer_; }

void* WaylandLayerSurface::GetProcAddress(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

bool WaylandLayerSurface::ReadyToDraw() const {
    return configured_ && !closed_ && p_->eglSurface != EGL_NO_SURFACE && p_->frame == nullptr;
}

// Sizes the buffer for the configured size and the output's scale; the new
// scale and buffer reach the compositor together with the next swap.
void WaylandLayerSurface::ApplySize() {
    if (!configured_ || logicalWidth_ <= 0 || logicalHeight_ <= 0) return;
    const WaylandLayerShell::Protocol& shell = *shell_->p_;
    const bool fractional = p_->viewport != nullptr && scale120_ > 0;
    const BufferSize size = BufferSizeFor(logicalWidth_, logicalHeight_, outputScale_, fractional ? scale120_ : 0);
    if (fractional) {
        wp_viewport_set_destination(p_->viewport, logicalWidth_, logicalHeight_);
        wl_surface_set_buffer_scale(p_->surface, 1);
    } else if (shell.compositorVersion >= 3) {
        wl_surface_set_buffer_scale(p_->surface, std::max(1, outputScale_));
    }
    // Opaque: the compositor need draw nothing beneath the saver.
    wl_region* region = wl_compositor_create_region(shell.compositor);
    wl_region_add(region, 0, 0, logicalWidth_, logicalHeight_);
    wl_surface_set_opaque_region(p_->surface, region);
    wl_region_destroy(region);
    buffer_ = {size.width, size.height};
    if (p_->window != nullptr) {
        wl_egl_window_resize(p_->window, size.width, size.height, 0, 0);
        return;
    }
    p_->window = wl_egl_window_create(p_->surface, size.width, size.height);
    if (p_->window == nullptr) return;
    p_->eglSurface = eglCreatePlatformWindowSurface(shell.egl, shell.config, p_->window, nullptr);
    if (p_->eglSurface == EGL_NO_SURFACE) return;
    if (MakeCurrent()) eglSwapInterval(shell.egl, 0);  // the frame callbacks pace us
}

namespace {
void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height);
void OnLayerClosed(void* data, zwlr_layer_surface_v1*);
const zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale120);
const wp_fractional_scale_v1_listener kFractionalListener = {OnPreferredScale};
}  // namespace

// ---- the connection --------------------------------------------------------

namespace {
void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                      int32_t) {}
void OnOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void OnOutputDescription(void*, wl_output*, const char*) {}
}  // namespace

// Friend-free glue: the listeners reach the classes through these.
struct WaylandGlue {
    static void OutputScale(void* data, wl_output*, int32_t scale) {
        static_cast<Output*>(data)->scale = std::max(1, scale);
    }
    static void OutputName(void* data, wl_output*, const char* name) {
        static_cast<Output*>(data)->connector = name;
    }
    static void OutputDone(void* data, wl_output*) {
        auto* output = static_cast<Output*>(data);
        output->done = true;
        if (output->surface != nullptr) {
            output->surface->outputScale_ = output->scale;
            output->surface->ApplySize();
        } else if (output->shell->p_->registryDone) {
            output->shell->MakeSurface(output->name);
        }
    }
    static void Configure(WaylandLayerSurface* surface, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                          uint32_t height) {
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        surface->logicalWidth_ = static_cast<int>(width);
        surface->logicalHeight_ = static_cast<int>(height);
        surface->configured_ = true;
        surface->ApplySize();
        // A surface configured but never drawn shows nothing: commit so the ack counts.
        if (surface->p_->eglSurface == EGL_NO_SURFACE) wl_surface_commit(surface->p_->surface);
    }
    static void Closed(WaylandLayerSurface* surface) {
        if (surface->closed_) return;
        surface->closed_ = true;
        surface->shell_->lost_.push_back(surface);
    }
    static void PreferredScale(WaylandLayerSurface* surface, uint32_t scale120) {
        if (surface->scale120_ == scale120) return;
        surface->scale120_ = scale120;
        surface->ApplySize();
    }
    static void Input(WaylandLayerShell* shell, const WaylandInput& input) {
        if (shell->onInput_ != nullptr && *shell->onInput_) (*shell->onInput_)(input);
    }
    static const WaylandLayerSurface* SurfaceFor(WaylandLayerShell* shell, wl_surface* surface) {
        for (const auto& s : shell->surfaces_) {
            if (s->p_->surface == surface) return s.get();
        }
        return nullptr;
    }
};

namespace {
void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
    WaylandGlue::Configure(SurfaceFrom(data), layer, serial, width, height);
}
void OnLayerClosed(void* data, zwlr_layer_surface_v1*) { WaylandGlue::Closed(SurfaceFrom(data)); }
void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale120) {
    WaylandGlue::PreferredScale(SurfaceFrom(data), scale120);
}

const wl_output_listener kOutputListener = {OnOutputGeometry,       OnOutputMode,          WaylandGlue::OutputDone,
                                            WaylandGlue::OutputScale, WaylandGlue::OutputName, OnOutputDescription};

WaylandLayerShell* ShellFrom(void* data) { return static_cast<WaylandLayerShell*>(data); }

// Input: any key or button ends an overlay; the host judges pointer moves.
void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) WaylandGlue::Input(ShellFrom(data), {WaylandInput::Kind::Key});
}
void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};
}  // namespace

struct WaylandPointerGlue {
    static void Enter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x,
                      wl_fixed_t y) {
        WaylandLayerShell* shell = ShellFrom(data);
        // No cursor over the saver.
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
        shell->p_->pointerSurface = WaylandGlue::SurfaceFor(shell, surface);
        WaylandGlue::Input(shell, {WaylandInput::Kind::PointerEnter, shell->p_->pointerSurface, wl_fixed_to_double(x),
                                   wl_fixed_to_double(y)});
    }
    static void Leave(void* data, wl_pointer*, uint32_t, wl_surface*) { ShellFrom(data)->p_->pointerSurface = nullptr; }
    static void Motion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        WaylandLayerShell* shell = ShellFrom(data);
        WaylandGlue::Input(shell, {WaylandInput::Kind::PointerMotion, shell->p_->pointerSurface, wl_fixed_to_double(x),
                                   wl_fixed_to_double(y)});
    }
    static void Button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        if (state == WL_POINTER_BUTTON_STATE_PRESSED) WaylandGlue::Input(ShellFrom(data), {WaylandInput::Kind::Button});
    }
};

namespace {
void OnAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void OnPointerFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPointerListener = {
    WaylandPointerGlue::Enter, WaylandPointerGlue::Leave, WaylandPointerGlue::Motion, WaylandPointerGlue::Button,
    OnAxis,                    OnPointerFrame,            OnAxisSource,               OnAxisStop,
    OnAxisDiscrete,            nullptr};
constexpr unsigned kSeatVersion = 5;  // the pointer events handled above
}  // namespace

struct WaylandSeatGlue {
    // Keyboards and pointers come and go (a virtual keyboard, a mouse
    // plugged in): the seat's devices are taken whenever it has them.
    static void Capabilities(void* data, wl_seat* seat, uint32_t caps) {
        WaylandLayerShell::Protocol& p = *ShellFrom(data)->p_;
        const bool release = wl_seat_get_version(seat) >= WL_KEYBOARD_RELEASE_SINCE_VERSION;
        if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && p.keyboard == nullptr) {
            p.keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(p.keyboard, &kKeyboardListener, data);
        } else if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) == 0 && p.keyboard != nullptr) {
            if (release) wl_keyboard_release(p.keyboard);
            else wl_keyboard_destroy(p.keyboard);
            p.keyboard = nullptr;
        }
        if ((caps & WL_SEAT_CAPABILITY_POINTER) != 0 && p.pointer == nullptr) {
            p.pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(p.pointer, &kPointerListener, data);
        } else if ((caps & WL_SEAT_CAPABILITY_POINTER) == 0 && p.pointer != nullptr) {
            if (release) wl_pointer_release(p.pointer);
            else wl_pointer_destroy(p.pointer);
            p.pointer = nullptr;
            p.pointerSurface = nullptr;
        }
    }
    static void Name(void*, wl_seat*, const char*) {}
};

namespace {
const wl_seat_listener kSeatListener = {WaylandSeatGlue::Capabilities, WaylandSeatGlue::Name};
}  // namespace

struct WaylandRegistryGlue {
    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        WaylandLayerShell* shell = ShellFrom(data);
        WaylandLayerShell::Protocol& p = *shell->p_;
        auto bind = [&](const wl_interface* what, unsigned most) {
            return wl_registry_bind(registry, name, what, std::min<unsigned>(version, most));
        };
        if (std::strcmp(interface, wl_compositor_interface.name) == 0 && p.compositor == nullptr) {
            p.compositorVersion = std::min<unsigned>(version, 4);
            p.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
        } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && p.layerShell == nullptr) {
            p.layerShell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
        } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && p.viewporter == nullptr) {
            p.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
        } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
                   p.fractional == nullptr) {
            p.fractional =
                static_cast<wp_fractional_scale_manager_v1*>(bind(&wp_fractional_scale_manager_v1_interface, 1));
        } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && p.seat == nullptr &&
                   shell->mode_ == WaylandLayerShell::Mode::Overlay) {
            p.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, kSeatVersion));
            wl_seat_add_listener(p.seat, &kSeatListener, data);
        } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
            shell->AddOutput(name, version);
        }
    }
    static void GlobalRemove(void* data, wl_registry*, uint32_t name) {
        WaylandLayerShell* shell = ShellFrom(data);
        auto& outputs = shell->p_->outputs;
        for (auto it = outputs.begin(); it != outputs.end(); ++it) {
            if ((*it)->name != name) continue;
            if ((*it)->surface != nullptr) WaylandGlue::Closed((*it)->surface);
            if ((*it)->version >= WL_OUTPUT_RELEASE_SINCE_VERSION) wl_output_release((*it)->output);
            else wl_output_destroy((*it)->output);
            outputs.erase(it);
            return;
        }
    }
};

namespace {
const wl_registry_listener kRegistryListener = {WaylandRegistryGlue::Global, WaylandRegistryGlue::GlobalRemove};

// A window config of 8-bit colour without alpha, so the compositor takes the
// surface as opaque, with a 16-bit depth buffer at least or, without `depth`,
// none at all where there is such a config.
EGLConfig ChooseConfig(EGLDisplay egl, bool depth) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                             EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, depth ? 16 : 0, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(egl, wanted, nullptr, 0, &count) || count <= 0) return nullptr;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(egl, wanted, configs.data(), count, &count);
    // Best first: no alpha, and no depth buffer when none is wanted.
    auto rank = [egl, depth](EGLConfig config) {
        EGLint alpha = 0, depthBits = 0;
        eglGetConfigAttrib(egl, config, EGL_ALPHA_SIZE, &alpha);
        eglGetConfigAttrib(egl, config, EGL_DEPTH_SIZE, &depthBits);
        return (alpha == 0 ? 0 : 2) + (depth || depthBits == 0 ? 0 : 1);
    };
    return *std::min_element(configs.begin(), configs.end(),
                             [&rank](EGLConfig a, EGLConfig b) { return rank(a) < rank(b); });
}

const EGLint kContextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                     EGL_NONE};

// GL_RENDERER of a context in `config`, current on no surface for the
// moment; empty where the driver cannot do that.
std::string RendererName(EGLDisplay egl, EGLConfig config) {
    const EGLContext context = eglCreateContext(egl, config, EGL_NO_CONTEXT, kContextAttributes);
    if (context == EGL_NO_CONTEXT) return {};
    std::string name;
    if (eglMakeCurrent(egl, EGL_NO_SURFACE, EGL_NO_SURFACE, context) == EGL_TRUE) {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (renderer != nullptr) name = renderer;
        eglMakeCurrent(egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(egl, context);
    return name;
}
}  // namespace

void WaylandLayerShell::AddOutput(unsigned name, unsigned version) {
    auto output = std::make_unique<Protocol::Output>();
    output->shell = this;
    output->name = name;
    // Version 2 brings scale and done; 4 the connector's name.
    output->version = std::min<unsigned>(version, 4);
    output->output = static_cast<wl_output*>(wl_registry_bind(p_->registry, name, &wl_output_interface, output->version));
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    if (output->version < 2) output->done = true;  // no done event will come
    p_->outputs.push_back(std::move(output));
    if (p_->outputs.back()->done && p_->registryDone) MakeSurface(name);
}

void WaylandLayerShell::MakeSurface(unsigned outputName) {
    Protocol::Output* output = nullptr;
    for (auto& o : p_->outputs) {
        if (o->name == outputName) output = o.get();
    }
    if (output == nullptr || output->surface != nullptr) return;
    std::unique_ptr<WaylandLayerSurface> surface(new WaylandLayerSurface(this));
    WaylandLayerSurface::Protocol& s = *surface->p_;
    surface->order_ = nextOrder_++;
    surface->outputName_ = output->connector;
    surface->outputScale_ = output->scale;
    s.context = eglCreateContext(p_->egl, p_->config, EGL_NO_CONTEXT, kContextAttributes);
    s.surface = wl_compositor_create_surface(p_->compositor);
    const bool overlay = mode_ == Mode::Overlay;
    s.layer = zwlr_layer_shell_v1_get_layer_surface(
        p_->layerShell, s.surface, output->output,
        overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, kNamespace);
    zwlr_layer_surface_v1_add_listener(s.layer, &kLayerListener, surface.get());
    zwlr_layer_surface_v1_set_anchor(s.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(s.layer, 0, 0);
    // Covers panels too, rather than being laid out beside them.
    zwlr_layer_surface_v1_set_exclusive_zone(s.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        s.layer, overlay && p_->seat != nullptr ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                                : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    if (p_->fractional != nullptr && p_->viewporter != nullptr) {
        s.viewport = wp_viewporter_get_viewport(p_->viewporter, s.surface);
        s.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(p_->fractional, s.surface);
        wp_fractional_scale_v1_add_listener(s.fractional, &kFractionalListener, surface.get());
    }
    wl_surface_commit(s.surface);  // no buffer yet: asks for the first configure
    output->surface = surface.get();
    new_.push_back(surface.get());
    surfaces_.push_back(std::move(surface));
}

std::unique_ptr<WaylandLayerShell> WaylandLayerShell::Connect(Mode mode, const DepthChoice& wantsDepth,
                                                              std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<WaylandLayerShell> {
        if (error != nullptr) *error = why;
        return nullptr;
    };
    std::unique_ptr<WaylandLayerShell> shell(new WaylandLayerShell());
    shell->mode_ = mode;
    shell->p_ = std::make_unique<Protocol>();
    Protocol& p = *shell->p_;
    p.display = wl_display_connect(nullptr);
    if (p.display == nullptr) return fail("no Wayland compositor answers");
    p.registry = wl_display_get_registry(p.display);
    wl_registry_add_listener(p.registry, &kRegistryListener, shell.get());
    // The globals, then what each output says of itself.
    const bool listed = wl_display_roundtrip(p.display) >= 0 && wl_display_roundtrip(p.display) >= 0;
    if (!listed) return fail("the Wayland compositor did not answer");
    if (p.compositor == nullptr || p.layerShell == nullptr) return fail("the Wayland compositor offers no layer shell");

    p.egl = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, p.display, nullptr);
    EGLint major = 0, minor = 0;
    if (p.egl == EGL_NO_DISPLAY || !eglInitialize(p.egl, &major, &minor)) return fail("EGL cannot draw on Wayland");
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("EGL has no desktop OpenGL");
    p.config = ChooseConfig(p.egl, true);
    if (p.config == nullptr) return fail("EGL has no window config with 8-bit colour and a depth buffer");
    if (!wantsDepth(RendererName(p.egl, p.config))) p.config = ChooseConfig(p.egl, false);

    p.registryDone = true;
    for (auto& output : p.outputs) {
        if (output->done) shell->MakeSurface(output->name);
    }
    return shell;
}

WaylandLayerShell::~WaylandLayerShell() {
    if (!p_) return;
    surfaces_.clear();
    for (auto& output : p_->outputs) wl_output_destroy(output->output);
    if (p_->keyboard != nullptr) wl_keyboard_destroy(p_->keyboard);
    if (p_->pointer != nullptr) wl_pointer_destroy(p_->pointer);
    if (p_->seat != nullptr) wl_seat_destroy(p_->seat);
    if (p_->fractional != nullptr) wp_fractional_scale_manager_v1_destroy(p_->fractional);
    if (p_->viewporter != nullptr) wp_viewporter_destroy(p_->viewporter);
    if (p_->layerShell != nullptr) zwlr_layer_shell_v1_destroy(p_->layerShell);
    if (p_->compositor != nullptr) wl_compositor_destroy(p_->compositor);
    if (p_->registry != nullptr) wl_registry_destroy(p_->registry);
    if (p_->egl != EGL_NO_DISPLAY) eglTerminate(p_->egl);
    if (p_->display != nullptr) {
        wl_display_flush(p_->display);
        wl_display_disconnect(p_->display);
    }
}

std::vector<WaylandLayerSurface*> WaylandLayerShell::TakeNewSurfaces() {
    std::vector<WaylandLayerSurface*> taken;
    taken.swap(new_);
    return taken;
}

std::vector<WaylandLayerSurface*> WaylandLayerShell::TakeLostSurfaces() {
    std::vector<WaylandLayerSurface*> taken;
    taken.swap(lost_);
    return taken;
}

void WaylandLayerShell::Destroy(WaylandLayerSurface* surface) {
    for (auto& output : p_->outputs) {
        if (output->surface == surface) output->surface = nullptr;
    }
    if (p_->pointerSurface == surface) p_->pointerSurface = nullptr;
    std::erase(new_, surface);
    std::erase(lost_, surface);
    std::erase_if(surfaces_, [surface](const auto& s) { return s.get() == surface; });
}

int WaylandLayerShell::SurfaceCount() const { return static_cast<int>(surfaces_.size()); }

bool WaylandLayerShell::Dispatch(double deadline, const std::function<void(const WaylandInput&)>& onInput) {
    onInput_ = &onInput;
    struct Reset {
        WaylandLayerShell* shell;
        ~Reset() { shell->onInput_ = nullptr; }
    } reset{this};
    wl_display* display = p_->display;
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) return false;
    }
    // A full socket is not lost: what stays unsent goes on the next pass.
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    const double wait = std::clamp(deadline - MonotonicClock().Now(), 0.0, kLongestWait);
    timespec timeout{};
    timeout.tv_sec = static_cast<time_t>(wait);
    timeout.tv_nsec = static_cast<long>((wait - static_cast<double>(timeout.tv_sec)) * 1e9);
    pollfd fd{wl_display_get_fd(display), POLLIN, 0};
    const int ready = ppoll(&fd, 1, &timeout, nullptr);
    if (ready > 0) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0 && wl_display_get_error(display) == 0;
}
