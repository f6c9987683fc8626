// Offscreen OpenGL with no display at all: EGL on Mesa's surfaceless platform
// with a compatibility-profile context, drawing into a framebuffer object
// (RGBA8 colour, 16-bit depth, as the saver's windowed pixel format).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_surface.h"

// What the framebuffer holds: the saver's windowed pixel format (RGBA8 colour,
// 16-bit depth), or a light window's on a software rasteriser (8-bit colour in
// BGRA order, as an X server's 24-bit visual gives it, and no depth buffer).
enum class OffscreenFormat { Window, LightWindow };

class OffscreenContext final : public GLSurface {
public:
    // Null (and `error` says why) when EGL or the context cannot be had.
    static std::unique_ptr<OffscreenContext> Create(int width, int height, std::string* error,
                                                    OffscreenFormat format = OffscreenFormat::Window);
    ~OffscreenContext() override;
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool MakeCurrent() override;
    // Finishes the frame and keeps its pixels (unless told not to); calls the
    // present hook if set.
    void Present() override;
    // Reading every frame back is most of a headless frame's processor time
    // where a GPU draws; a run that wants only its last frame reads that with
    // ReadPixels once nothing more is drawn.
    void SetKeepsPresented(bool keep) { keepsPresented_ = keep; }
    DrawableSize Size() const override { return {width_, height_}; }
    void* GetProcAddress(const char* name) override;

    // Re-creates the framebuffer at the new size (contents are lost).
    bool Resize(int width, int height);
    // The framebuffer now, RGBA, bottom row first (as GL reads it).
    std::vector<std::uint8_t> ReadPixels() const;
    // The pixels of the last Present, bottom row first; empty before the first.
    const std::vector<std::uint8_t>& LastPresented() const { return lastPresented_; }
    int PresentCount() const { return presentCount_; }
    void SetPresentHook(std::function<void(const OffscreenContext&)> hook) { hook_ = std::move(hook); }

private:
    OffscreenContext() = default;
    bool CreateFramebuffer();
    void DestroyFramebuffer();

    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    OffscreenFormat format_ = OffscreenFormat::Window;
    unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;  // colour_ a texture for LightWindow
    int width_ = 0, height_ = 0;
    int presentCount_ = 0;
    bool keepsPresented_ = true;
    std::vector<std::uint8_t> lastPresented_;
    std::function<void(const OffscreenContext&)> hook_;
};
