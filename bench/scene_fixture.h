// What the scene benchmarks share: the baked resources, an offscreen context
// in the state the view leaves before the engine's set-up, and the chase view
// down the flight line.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>
#include <string>

#include "engine/ssmain.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "scene/xmasmain.h"

inline const std::string kBaked = std::string(FROSTVALE_BAKED_DIR) + "/";

// The fixed state and the projection the view sets before the engine's set-up.
inline std::unique_ptr<OffscreenContext> MakeViewContext(int width, int height) {
    std::string error;
    auto context = OffscreenContext::Create(width, height, &error);
    if (context) LoadViewState(width, height);
    return context;
}

// Behind the sleigh, looking down the line of flight, with the frustum taken.
inline void LookDownTheLine(XMASMAIN* scene, int width, int height) {
    glViewport(0, 0, width, height);
    LoadSceneProjection(width, height);
    scene->cameraEye = MakePoint(0.0f, 4.0f, -10.0f);
    scene->cameraTarget = MakePoint(0.0f, 4.0f, 30.0f);
    gluLookAt(0, 4, -10, 0, 4, 30, 0, 1, 0);
    scene->frustum = ExtractFrustum();
}
