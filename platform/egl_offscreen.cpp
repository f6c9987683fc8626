#include "platform/egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <string>

#include "platform/framebuffer_api.h"

namespace {

FramebufferApi gFbo;

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}
}  // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::Create(int width, int height, std::string* error,
                                                          OffscreenFormat format) {
    auto fail = [&](const char* why) -> std::unique_ptr<OffscreenContext> {
        if (error != nullptr) *error = why;
        return nullptr;
    };
    if (width <= 0 || height <= 0) return fail("offscreen: the size must be positive");

    std::unique_ptr<OffscreenContext> self(new OffscreenContext());
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return fail("offscreen: no surfaceless EGL display (is Mesa's EGL installed?)");
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) return fail("offscreen: eglInitialize failed");
    self->display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("offscreen: EGL has no desktop OpenGL");

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        // Surfaceless drivers may offer no configs at all; a config-less context still works.
        config = EGL_NO_CONFIG_KHR;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) return fail("offscreen: cannot create a compatibility GL context");
    self->context_ = context;
    if (!self->MakeCurrent()) return fail("offscreen: cannot make the GL context current");
    if (!gFbo.Load([](const char* name) { return eglGetProcAddress(name); })) return fail("offscreen: the GL driver has no framebuffer objects");
    GLint largest = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const GLint widest = std::min(largest, viewport[0]);
    const GLint tallest = std::min(largest, viewport[1]);
    if (width > widest || height > tallest) {
        if (error != nullptr) {
            *error = "offscreen: " + std::to_string(width) + "x" + std::to_string(height) +
                     " is larger than this GL driver's largest framebuffer, " + std::to_string(widest) + "x" +
                     std::to_string(tallest);
        }
        return nullptr;
    }
    self->width_ = width;
    self->height_ = height;
    self->format_ = format;
    if (!self->CreateFramebuffer()) return fail("offscreen: cannot create the framebuffer");
    return self;
}

OffscreenContext::~OffscreenContext() {
    if (display_ == nullptr) return;
    if (context_ != nullptr) {
        MakeCurrent();
        DestroyFramebuffer();
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    // The display is shared by every context of the process; terminating it
    // would pull it from under another live context, so it is left to exit.
}

void* OffscreenContext::GetProcAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

bool OffscreenContext::MakeCurrent() {
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
    if (framebuffer_ != 0) gFbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}

bool OffscreenContext::CreateFramebuffer() {
    gFbo.genFramebuffers(1, &framebuffer_);
    gFbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (format_ == OffscreenFormat::LightWindow) {
        // A renderbuffer's sized RGBA8 is laid out RGBA; only an unsized
        // texture given BGRA bytes comes out as a window's BGRA.
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGenTextures(1, &colour_);
        glBindTexture(GL_TEXTURE_2D, colour_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width_, height_, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
        gFbo.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        return gFbo.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    gFbo.genRenderbuffers(1, &colour_);
    gFbo.bindRenderbuffer(GL_RENDERBUFFER, colour_);
    gFbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    gFbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    gFbo.genRenderbuffers(1, &depth_);
    gFbo.bindRenderbuffer(GL_RENDERBUFFER, depth_);
    gFbo.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width_, height_);
    gFbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return gFbo.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void OffscreenContext::DestroyFramebuffer() {
    if (framebuffer_ == 0) return;
    gFbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (format_ == OffscreenFormat::LightWindow) {
        glDeleteTextures(1, &colour_);
    } else {
        gFbo.deleteRenderbuffers(1, &colour_);
        gFbo.deleteRenderbuffers(1, &depth_);
    }
    gFbo.deleteFramebuffers(1, &framebuffer_);
    framebuffer_ = colour_ = depth_ = 0;
}

bool OffscreenContext::Resize(int width, int height) {
    if (width <= 0 || height <= 0 || !MakeCurrent()) return false;
    DestroyFramebuffer();
    width_ = width;
    height_ = height;
    return CreateFramebuffer();
}

std::vector<std::uint8_t> OffscreenContext::ReadPixels() const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void OffscreenContext::Present() {
    glFinish();
    if (keepsPresented_) {
        // Into the same buffer every frame: a fresh one costs a frame's worth
        // of zeroing and page faults, more than the rest of a headless frame
        // on a driver that draws nothing.
        lastPresented_.resize(static_cast<std::size_t>(width_) * height_ * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, lastPresented_.data());
    }
    ++presentCount_;
    if (hook_) hook_(*this);
}
