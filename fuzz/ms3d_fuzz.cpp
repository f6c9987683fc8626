// An MS3D model through everything the scene does with one: load, scale,
// skeleton set-up, template, instance and a few animation steps. Whatever the
// bytes say, the pose that comes out must be finite: a NaN in a joint matrix
// would spread through the whole scene.
#include <cmath>
#include <cstdint>
#include <span>

#include "assets/animation.h"
#include "assets/ms3d.h"

namespace {
bool Finite(const MATRIX& m) {
    for (double v : m.m) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BoundedReader reader(data, size);
    MS3D model;
    if (!model.LoadFromFStream(&reader)) return 0;
    model.Scale(0.1f);
    model.InitialSetup();
    ANIMATIONTEMPLATE animTemplate;
    if (!animTemplate.Setup(&model)) return 0;
    ONEMODEL instance;
    if (!instance.Setup(&animTemplate, &model, std::span<const Texture>())) return 0;
    const double lastFrame = animTemplate.totalFrames > 1 ? animTemplate.totalFrames - 1 : 1;
    instance.SetAnimation(1, lastFrame, 1000, true, false);
    for (int step = 0; step < 4; ++step) {
        instance.Update(0.25);
        if (step == 1) instance.SetAnimation(0, lastFrame / 2, 500, false, true);
    }
    if (!std::isfinite(instance.currentTime)) __builtin_trap();
    for (const BASICJOINT& joint : instance.joints) {
        if (!Finite(joint.absolute)) __builtin_trap();
    }
    return 0;
}
