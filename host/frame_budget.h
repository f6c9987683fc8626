// Keeping a software rasteriser's share of the machine small. Mesa's
// llvmpipe (and softpipe, swrast) paints every pixel on the processor, so the
// scene is drawn into a smaller offscreen picture and stretched to the window;
// FrameBudget picks how much smaller from what the frames cost.
#pragma once

#include <array>
#include <string_view>

// True when GL_RENDERER names one of Mesa's rasterisers that run on the
// processor ("llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa X11 swrast").
bool IsSoftwareRenderer(std::string_view glRenderer);

enum class Quality { Auto, Full, Light };

// Whether a window of the saver at `quality` on the renderer named
// `glRenderer` gets a depth buffer. A light frame on a software rasteriser
// draws the scene, depth and all, into a picture of its own and only stretches
// it over the window, which llvmpipe does fastest into a window without one.
bool WindowWantsDepthBuffer(Quality quality, std::string_view glRenderer);

// Chooses the scene's drawing scale, one of a few fixed steps, from the cost
// of each frame (processor seconds) against a budget per frame.
//
// Decisions are taken on the median of a window of frames, so a single slow
// frame changes nothing. Over budget, it steps down at once as far as the
// pixel count says is needed. It steps back up only when the cost predicted
// for the larger scale leaves a margin under the budget; the prediction uses
// the cost ratio measured between the two scales the last time it stepped
// down between them, so a scale that proved too dear is not tried again until
// the frames really got cheaper (the machine freed up), and the choice settles
// instead of swinging between two neighbours.
class FrameBudget {
public:
    static constexpr std::array<double, 7> kScales = {1.0, 0.84, 0.71, 0.59, 0.5, 0.42, 0.35};
    static constexpr int kWindow = 15;             // frames per decision
    static constexpr double kUpMargin = 0.8;       // step up only into 80 % of the budget

    explicit FrameBudget(double budgetSeconds, int startLevel = 0);

    // One drawn frame's cost at the current scale.
    void AddFrame(double costSeconds);
    int Level() const { return level_; }
    double Scale() const { return kScales[level_]; }
    double Budget() const { return budget_; }
    int Changes() const { return changes_; }

private:
    static constexpr int kLevels = static_cast<int>(kScales.size());
    void SetLevel(int level);

    double budget_;
    int level_;
    int changes_ = 0;
    std::array<double, kWindow> window_{};
    int count_ = 0;
    // costRatio_[l]: cost at level l - 1 over cost at level l, as last seen.
    std::array<double, kLevels> costRatio_{};
    // Cost at the level just left downwards, to learn its ratio from the first
    // window at the new level; 0 when nothing is to be learnt.
    double costBeforeDrop_ = 0.0;
    int droppedFrom_ = -1;
};
