#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/frame_budget.h"

TEST(FrameBudget, SoftwareRenderersAreKnownByName) {
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa X11 swrast", true},
        {"Software Rasterizer (LLVMPIPE)", true},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)", false},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"virgl (llvm-backed host)", false},  // a GPU on the host, whatever its name says of LLVM
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSoftwareRenderer(c.renderer), c.software) << c.renderer;
}

namespace {
// A frame costs `fixed` plus `perPixel` times the scale's pixel share (raised
// to `power`: 1 is plain fill), with a little noise, in processor seconds.
struct Machine {
    double fixed;
    double perPixel;
    double power = 1.0;
    std::mt19937 random{11};
    double Cost(double scale) {
        std::uniform_real_distribution<double> noise(0.95, 1.05);
        return (fixed + perPixel * std::pow(scale * scale, power)) * noise(random);
    }
};

// Runs `frames` frames; returns the number of scale changes in the last half.
int RunFrames(FrameBudget* budget, Machine* machine, int frames) {
    int lateChanges = 0;
    for (int i = 0; i < frames; ++i) {
        const int before = budget->Level();
        budget->AddFrame(machine->Cost(budget->Scale()));
        if (i >= frames / 2 && budget->Level() != before) ++lateChanges;
    }
    return lateChanges;
}
}  // namespace

// Each machine: where the cost settles within the budget, at the largest
// scale that fits with the step-up margin, and stays there.
TEST(FrameBudget, SettlesAtTheLargestScaleThatFitsAndStays) {
    const double budget = 0.010;
    const struct {
        double fixed, perPixel;
        int level;
    } cases[] = {
        {0.001, 0.005, 0},   // a fast machine never leaves full scale
        {0.001, 0.030, 4},   // 0.5: 1 + 7.5 ms; 0.59 would be 11.4 ms
        {0.006, 0.020, 5},   // most of it fixed: 0.42 leaves 9.5 ms, the step above 11 ms
        {0.002, 0.018, 3},   // 0.59: 8.3 ms; 0.71 would be 11.1 ms
    };
    for (const auto& c : cases) {
        FrameBudget governor(budget);
        Machine machine{c.fixed, c.perPixel};
        EXPECT_EQ(RunFrames(&governor, &machine, 3000), 0) << c.perPixel;
        EXPECT_EQ(governor.Level(), c.level) << c.fixed << " " << c.perPixel;
    }
}

// Where the cost falls faster than the pixel count (a picture that stops
// fitting the caches), the pixel count promises a cheap step up that is not:
// one bounce teaches the real ratio, and after that the choice holds.
TEST(FrameBudget, NeverSwingsBetweenNeighbours) {
    FrameBudget governor(0.010);
    Machine machine{0.001, 0.636, 3.0};  // 4.5 ms at 0.42; 10.9 at 0.5, where pixels promise 6.4
    RunFrames(&governor, &machine, 600);
    const int settledChanges = governor.Changes();
    EXPECT_EQ(RunFrames(&governor, &machine, 30000), 0);
    EXPECT_EQ(governor.Changes(), settledChanges);
    EXPECT_LE(settledChanges, 4);
    EXPECT_EQ(governor.Level(), 5);
}

// A busy spell drives the scale down; when the machine frees up it returns
// to full scale, one step per window, and stays.
TEST(FrameBudget, RecoversWhenTheMachineFreesUp) {
    FrameBudget governor(0.010);
    Machine machine{0.001, 0.006};
    RunFrames(&governor, &machine, 200);
    EXPECT_EQ(governor.Level(), 0);
    machine.fixed = 0.004;
    machine.perPixel = 0.025;
    RunFrames(&governor, &machine, 600);
    const int busyLevel = governor.Level();
    EXPECT_GE(busyLevel, 3);
    EXPECT_LE(machine.Cost(governor.Scale()), 0.011);
    machine.fixed = 0.001;
    machine.perPixel = 0.006;
    EXPECT_EQ(RunFrames(&governor, &machine, 2 * FrameBudget::kWindow * busyLevel + 300), 0);
    EXPECT_EQ(governor.Level(), 0);
}

// One slow frame in a window (a page fault, a context switch) moves nothing.
TEST(FrameBudget, SingleSlowFramesAreIgnored) {
    FrameBudget governor(0.010);
    for (int i = 0; i < 40 * FrameBudget::kWindow; ++i) governor.AddFrame(i % 9 == 0 ? 0.050 : 0.004);
    EXPECT_EQ(governor.Changes(), 0);
}

// A window loses its depth buffer only where a light frame draws the scene
// into a picture of its own and a software rasteriser fills the window: on a
// GPU, or at full quality, the scene may be drawn into the window directly.
TEST(FrameBudget, WindowsGetADepthBufferUnlessLightOnASoftwareRasteriser) {
    const struct {
        Quality quality;
        const char* renderer;
        bool depth;
    } cases[] = {
        {Quality::Full, "llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {Quality::Light, "llvmpipe (LLVM 15.0.6, 256 bits)", false},
        {Quality::Auto, "llvmpipe (LLVM 15.0.6, 256 bits)", false},
        {Quality::Auto, "softpipe", false},
        {Quality::Auto, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)", true},
        {Quality::Light, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", true},
        {Quality::Auto, "", true},  // no context to ask: the safe format
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowWantsDepthBuffer(c.quality, c.renderer), c.depth)
            << static_cast<int>(c.quality) << " " << c.renderer;
    }
}
