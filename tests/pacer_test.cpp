#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/frostvale_view.h"
#include "platform/egl_offscreen.h"
#include "platform/frame_pacer.h"
#include "platform/sdl_window.h"
#include "platform/x11_window.h"

namespace {
// Notes the clock time of every present.
class TimedSurface final : public GLSurface {
public:
    TimedSurface(OffscreenContext* context, Clock* clock) : context_(context), clock_(clock) {}
    bool MakeCurrent() override { return context_->MakeCurrent(); }
    void Present() override { presents.push_back(clock_->Now()); }
    DrawableSize Size() const override { return {64, 36}; }

    std::vector<double> presents;

private:
    OffscreenContext* context_;
    Clock* clock_;
};

constexpr double kInterval = FrostvaleView::kFrameInterval;
}  // namespace

// The host's loop with a sleep that a signal cuts short now and then and a
// busy machine makes late: the view's gate passes on every call, so a frame
// comes every interval, never a second one.
TEST(FramePacer, JitteryWakeUpsStillGiveTheViewAFrameEveryInterval) {
    std::string error;
    auto context = OffscreenContext::Create(64, 36, &error);
    ASSERT_NE(context, nullptr) << error;
    SimulatedClock clock(1000.0);
    TimedSurface surface(context.get(), &clock);
    ViewServices services;
    services.surface = &surface;
    services.clock = &clock;
    services.resourcePath = "/nonexistent";  // no engine: every accepted frame is a black present
    services.seed = [] { return 1u; };
    FrostvaleView view(services, false, ViewSettings{});
    view.SetFrameSize(64, 36);
    view.StartAnimation();
    surface.presents.clear();

    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr double kLatest = 1.5e-3;
    int waits = 0;
    FramePacer pacer(&clock, [&](double deadline) {
        ++waits;
        const double roll = unit(random);
        if (roll < 0.3) {
            clock.Set(deadline - 3e-3 * unit(random));  // cut short
        } else if (roll < 0.8) {
            clock.Set(deadline + kLatest * unit(random));  // late
        } else {
            clock.Set(deadline);
        }
    }, kInterval);

    int calls = 0;
    for (int i = 0; i < 600; ++i) {
        if (pacer.Due(view.LastFrameTime())) {
            ++calls;
            view.AnimateOneFrame();
            clock.Advance(2e-3);  // the frame's own work
        }
        ASSERT_TRUE(pacer.SleepUntil(pacer.Deadline(view.LastFrameTime()), nullptr));
    }
    // The first call sets up (and drops the gap since start); every later one presents.
    EXPECT_EQ(static_cast<int>(surface.presents.size()), calls - 1);
    EXPECT_GT(waits, 600);  // the early wake-ups were slept again, not taken as due
    ASSERT_GT(surface.presents.size(), 500u);
    for (std::size_t i = 1; i < surface.presents.size(); ++i) {
        const double gap = surface.presents[i] - surface.presents[i - 1];
        ASSERT_GE(gap, kInterval) << "frame " << i;
        ASSERT_LE(gap, kInterval + FramePacer::kMargin + kLatest + 1e-9) << "frame " << i;
    }
    const double rate = (surface.presents.size() - 1) / (surface.presents.back() - surface.presents.front());
    // Only lateness slows it: a lost frame would bring it down towards 30.
    EXPECT_GT(rate, 57.0);
}

TEST(FramePacer, SleepEndsWhenTheRunIsToEnd) {
    SimulatedClock clock(10.0);
    int waits = 0;
    FramePacer pacer(&clock, [&](double) { ++waits; }, kInterval);  // never reaches the deadline
    EXPECT_FALSE(pacer.SleepUntil(10.5, [&] { return waits >= 3; }));
    EXPECT_EQ(waits, 3);
    EXPECT_TRUE(pacer.SleepUntil(9.0, [] { return false; }));  // already past: no wait
    EXPECT_EQ(waits, 3);
}

TEST(FramePacer, MonotonicSleepNeverWakesBeforeItsDeadline) {
    MonotonicClock clock;
    for (int i = 0; i < 20; ++i) {
        const double deadline = clock.Now() + 0.5e-3 + 0.1e-3 * i;
        SleepUntilMonotonic(deadline);
        EXPECT_GE(clock.Now(), deadline);
    }
}

TEST(XDisplayNames, ScreenPartIsSetOrReplaced) {
    EXPECT_EQ(DisplayNameWithScreen(":1", 2), ":1.2");
    EXPECT_EQ(DisplayNameWithScreen(":1.0", 1), ":1.1");
    EXPECT_EQ(DisplayNameWithScreen("localhost:10.0", 3), "localhost:10.3");
    EXPECT_EQ(DisplayNameWithScreen("unix:0", 1), "unix:0.1");
}

TEST(VideoDrivers, WaylandSessionsGetWaylandAndForeignWindowsX11) {
    struct Case {
        const char* user;
        const char* wayland;
        bool x11Only;
        const char* drivers;
    } cases[] = {
        {nullptr, nullptr, false, "x11"},
        {"", "", false, "x11"},
        {nullptr, "wayland-0", false, "wayland,x11"},
        {"x11", "wayland-0", false, "x11"},       // the user's choice wins
        {"wayland", nullptr, false, "wayland"},
        {"wayland", "wayland-0", true, "x11"},    // -root, -window-id
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VideoDriversFor(c.user, c.wayland, c.x11Only), c.drivers) << (c.user ? c.user : "-");
    }
    EXPECT_EQ(WithoutVideoDriver("wayland,x11", "wayland"), "x11");
    EXPECT_EQ(WithoutVideoDriver("x11,wayland,,wayland", "wayland"), "x11");
    EXPECT_EQ(WithoutVideoDriver("wayland", "wayland"), "");
    EXPECT_EQ(WithoutVideoDriver("waylandx,x11", "wayland"), "waylandx,x11");
}
