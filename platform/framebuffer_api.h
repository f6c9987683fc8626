// Framebuffer objects are not GL 1.x: a context reaches them only through its
// loader (platform/gl_entry_points.h).
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/gl_entry_points.h"

struct FramebufferApi {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    // `lookup(name)` returns the entry point or null; true when every one was found.
    template <typename Lookup>
    bool Load(Lookup lookup) {
        auto get = [&lookup](auto* fn, const char* name) { return LoadEntryPoint(lookup, fn, name); };
        return get(&genFramebuffers, "glGenFramebuffers") && get(&deleteFramebuffers, "glDeleteFramebuffers") &&
               get(&bindFramebuffer, "glBindFramebuffer") && get(&framebufferTexture2D, "glFramebufferTexture2D") &&
               get(&genRenderbuffers, "glGenRenderbuffers") && get(&deleteRenderbuffers, "glDeleteRenderbuffers") &&
               get(&bindRenderbuffer, "glBindRenderbuffer") && get(&renderbufferStorage, "glRenderbufferStorage") &&
               get(&framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               get(&checkFramebufferStatus, "glCheckFramebufferStatus");
    }
};
