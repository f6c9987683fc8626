#include "host/frame_budget.h"

#include <algorithm>
#include <string>

bool IsSoftwareRenderer(std::string_view renderer) {
    std::string lower(renderer);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* name : {"llvmpipe", "softpipe", "swrast"}) {
        if (lower.find(name) != std::string::npos) return true;
    }
    return false;
}

bool WindowWantsDepthBuffer(Quality quality, std::string_view renderer) {
    return quality == Quality::Full || !IsSoftwareRenderer(renderer);
}

FrameBudget::FrameBudget(double budgetSeconds, int startLevel)
    : budget_(budgetSeconds), level_(std::clamp(startLevel, 0, kLevels - 1)) {
    // Until measured, the cost follows the pixel count.
    for (int l = 1; l < kLevels; ++l) costRatio_[l] = (kScales[l - 1] * kScales[l - 1]) / (kScales[l] * kScales[l]);
    costRatio_[0] = 1.0;
}

void FrameBudget::AddFrame(double cost) {
    window_[count_++] = cost;
    if (count_ < kWindow) return;
    count_ = 0;
    std::nth_element(window_.begin(), window_.begin() + kWindow / 2, window_.end());
    const double median = window_[kWindow / 2];

    if (droppedFrom_ == level_ - 1 && costBeforeDrop_ > 0.0 && median > 0.0) {
        // A fixed part of the cost that scaling cannot cut shows up here.
        costRatio_[level_] = std::clamp(costBeforeDrop_ / median, 1.0, 8.0);
    }
    costBeforeDrop_ = 0.0;
    droppedFrom_ = -1;

    if (median > budget_) {
        int target = level_;
        double predicted = median;
        while (target + 1 < kLevels && predicted > budget_) {
            ++target;
            predicted /= costRatio_[target];
        }
        if (target != level_) {
            // Only a single step teaches a ratio between neighbours.
            if (target == level_ + 1) {
                costBeforeDrop_ = median;
                droppedFrom_ = level_;
            }
            SetLevel(target);
        }
    } else if (level_ > 0 && median * costRatio_[level_] < kUpMargin * budget_) {
        SetLevel(level_ - 1);
    }
}

void FrameBudget::SetLevel(int level) {
    level_ = level;
    ++changes_;
}
