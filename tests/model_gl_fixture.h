// An offscreen context looking at the test models (tests/model_fixtures.h)
// from the front, for the tests that draw them.
#pragma once

#include <GL/gl.h>

#include <memory>
#include <string>

#include "platform/egl_offscreen.h"

struct GlFixture {
    std::unique_ptr<OffscreenContext> context;
    std::string error;

    explicit GlFixture(int size) {
        context = OffscreenContext::Create(size, size, &error);
        if (context == nullptr) return;
        glViewport(0, 0, size, size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-4, 4, -1, 7, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }

    // Pixels whose red is over half: what the white models light up.
    int Lit() const {
        glFinish();
        const auto pixels = context->ReadPixels();
        int lit = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 128;
        return lit;
    }
};
