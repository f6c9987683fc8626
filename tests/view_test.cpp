#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string_view>
#include <vector>

#include "host/frostvale_view.h"
#include "math/frustum_gl.h"
#include "platform/egl_offscreen.h"
#include "platform/frame_pacer.h"
#include "platform/sdl_window.h"
#include "platform/x11_window.h"
#include "tests/fake_midi_player.h"
#include "tests/gl_pictures.h"

namespace {
// Counts presents, notes their clock times, and lets a test change the reported size.
class RecordingSurface final : public GLSurface {
public:
    RecordingSurface(OffscreenContext* context, Clock* clock) : context_(context), clock_(clock) {}
    bool MakeCurrent() override { return context_->MakeCurrent(); }
    void Present() override {
        ++presents;
        times.push_back(clock_->Now());
        context_->Present();
    }
    DrawableSize Size() const override { return size; }
    void* GetProcAddress(const char* name) override {
        const std::string_view wanted(name);
        const bool shaderCall = wanted.find("Shader") != std::string_view::npos ||
                                wanted.find("Program") != std::string_view::npos ||
                                wanted.find("Uniform") != std::string_view::npos;
        return hideShaders && shaderCall ? nullptr : context_->GetProcAddress(name);
    }

    int presents = 0;
    bool hideShaders = false;  // a driver without GL 2.0's shader calls
    std::vector<double> times;
    DrawableSize size{320, 180};

private:
    OffscreenContext* context_;
    Clock* clock_;
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        context_ = OffscreenContext::Create(320, 180, &error);
        ASSERT_NE(context_, nullptr) << error;
        surface_ = std::make_unique<RecordingSurface>(context_.get(), &clock);
    }

    std::unique_ptr<FrostvaleView> MakeView(int display = 0, bool mainOnly = false,
                                            std::string resources = FROSTVALE_BAKED_DIR,
                                            MidiPlayerFactory* players = nullptr, bool preview = false,
                                            GLSurface* surface = nullptr) {
        ViewServices services;
        services.surface = surface != nullptr ? surface : surface_.get();
        services.heldShot = heldShot;
        services.clock = &clock;
        services.displayNumber = display;
        services.mainDisplayNumber = 0;
        services.resourcePath = std::move(resources);
        services.seed = [] { return 1u; };
        services.players = players;
        services.quality = quality;
        // The countdown's calendar stands still: frames of two views compare.
        services.calendar = [] {
            std::tm t{};
            t.tm_year = 126;
            t.tm_mon = 11;
            t.tm_mday = 20;
            t.tm_hour = 21;
            return t;
        };
        ViewSettings settings;
        settings.MainMonitorOnly = mainOnly;
        settings.frameDelay = frameDelay;
        auto view = std::make_unique<FrostvaleView>(services, preview, settings);
        view->SetFrameSize(320, 180);
        return view;
    }

    // Advances the clock by dt and asks for a frame.
    void Frame(FrostvaleView& view, double dt) {
        clock.Advance(dt);
        view.AnimateOneFrame();
    }

    SimulatedClock clock{500.0};
    Quality quality = Quality::Full;
    int frameDelay = -1;
    int heldShot = -1;
    std::unique_ptr<OffscreenContext> context_;
    std::unique_ptr<RecordingSurface> surface_;
};

constexpr double kTick = FrostvaleView::kFrameInterval;
}  // namespace

// The first frame sets up and presents nothing; after it frames are paced,
// and long gaps dropped.
TEST_F(ViewTest, FramesArePacedAndLongGapsDropped) {
    auto view = MakeView();
    view->StartAnimation();
    EXPECT_EQ(surface_->presents, 1);  // the display starts black
    Frame(*view, kTick);
    const SSMAIN* engine = view->Engine();
    ASSERT_NE(engine, nullptr);
    EXPECT_FALSE(view->SetupFailed());
    EXPECT_EQ(surface_->presents, 1);
    EXPECT_EQ(engine->totalTime, 0.0);
    double expected = 0.0;
    for (double dt : {kTick, 0.02, 0.05, kTick, 1.0}) {  // clock rounding: a tick still counts as due
        Frame(*view, dt);
        expected += dt;
    }
    EXPECT_NEAR(engine->totalTime, expected, 1e-9);
    const int presents = surface_->presents;
    EXPECT_EQ(presents, 6);

    // Too soon: no work, nothing presented, and the time is not lost.
    Frame(*view, 0.01);
    EXPECT_EQ(surface_->presents, presents);
    Frame(*view, 0.01);
    expected += 0.02;
    EXPECT_EQ(surface_->presents, presents + 1);
    EXPECT_NEAR(engine->totalTime, expected, 1e-9);

    // A stall: that frame is dropped, the next advances by a normal step.
    Frame(*view, 2.5);
    EXPECT_NEAR(engine->totalTime, expected, 1e-9);
    EXPECT_EQ(surface_->presents, presents + 1);
    Frame(*view, 0.02);
    EXPECT_NEAR(engine->totalTime, expected + 0.02, 1e-9);
    EXPECT_EQ(engine, view->Engine());
}

// Light quality asks for half the frames; -delay sets the interval outright
// (never under the 1/60 s gate). Counted over one second of 1/60 s calls.
TEST_F(ViewTest, FrameIntervalFollowsQualityAndDelay) {
    const struct {
        Quality quality;
        int delay;
        double interval;
        int frames;
    } cases[] = {
        {Quality::Full, -1, 1.0 / 60, 60},  {Quality::Light, -1, 1.0 / 30, 30}, {Quality::Full, 100000, 0.1, 10},
        {Quality::Light, 50000, 0.05, 20}, {Quality::Light, 0, 1.0 / 60, 60},  {Quality::Full, 33333, 1.0 / 30, 30},
    };
    for (const auto& c : cases) {
        quality = c.quality;
        frameDelay = c.delay;
        auto view = MakeView(0, false, "/nonexistent");  // no engine: every accepted frame is a black present
        view->StartAnimation();
        Frame(*view, kTick);
        EXPECT_NEAR(view->FrameInterval(), c.interval, 1e-6) << c.delay;
        EXPECT_EQ(view->Light(), c.quality == Quality::Light);
        const int before = surface_->presents;
        for (int i = 0; i < 60; ++i) Frame(*view, kTick);
        EXPECT_NEAR(surface_->presents - before, c.frames, 1) << c.delay;
    }
}

// The picture drawn at a reduced scale covers the whole drawable when
// stretched, edge to edge, and drawing goes back to the surface's own
// framebuffer (offscreen, not the window system's 0); the picture is made
// again at each new scale, smaller and back up. The GL 2.0 program does the
// stretch where the driver has shaders, and the fixed-function quad, giving
// the same picture, where it has not.
TEST_F(ViewTest, ScaledSceneStretchesItsPictureOverTheDrawable) {
    ASSERT_TRUE(context_->MakeCurrent());
    GLint own = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &own);
    std::vector<std::vector<std::uint8_t>> stretched[2];
    for (const bool shaders : {true, false}) {
        SCOPED_TRACE(shaders ? "program" : "fixed function");
        surface_->hideShaders = !shaders;
        ScaledScene scaled;
        ASSERT_TRUE(scaled.Create(surface_.get(), 320, 180, 0.84));
        EXPECT_EQ(scaled.StretchesWithProgram(), shaders);
        for (double scale : {0.84, 0.5, 0.35, 0.84}) {
            glClearColor(0, 0, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            ASSERT_TRUE(scaled.Begin(scale));
            EXPECT_EQ(scaled.PictureHeight(), std::lround(180 * scale));
            // Left half red, right half green, in the picture's own viewport.
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glDisable(GL_TEXTURE_2D);
            glClearColor(0, 1, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glColor3f(1, 0, 0);
            glRectf(-1, -1, 0, 1);
            scaled.End();
            GLint bound = -1;
            glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
            EXPECT_EQ(bound, own);
            GLint program = -1;
            glGetIntegerv(GL_CURRENT_PROGRAM, &program);
            EXPECT_EQ(program, 0) << "fixed function again for what follows";
            const std::vector<std::uint8_t> pixels = context_->ReadPixels();
            for (int y : {0, 90, 179}) {
                EXPECT_GT(testpics::At(pixels, 320, 0, y).r, 200) << scale;    // red reaches the left edge
                EXPECT_GT(testpics::At(pixels, 320, 319, y).g, 200) << scale;  // green the right, no blue left
                EXPECT_LT(testpics::At(pixels, 320, 319, y).b, 30) << scale;
                EXPECT_GT(testpics::At(pixels, 320, 100, y).r, 200) << scale;
                EXPECT_GT(testpics::At(pixels, 320, 220, y).g, 200) << scale;
            }
            stretched[shaders ? 0 : 1].push_back(pixels);
        }
        scaled.Release();
    }
    surface_->hideShaders = false;
    ASSERT_EQ(stretched[0].size(), stretched[1].size());
    for (std::size_t i = 0; i < stretched[0].size(); ++i) {
        int worst = 0;
        for (std::size_t p = 0; p < stretched[0][i].size(); ++p)
            worst = std::max(worst, std::abs(stretched[0][i][p] - stretched[1][i][p]));
        EXPECT_LE(worst, 2) << "scale " << i;
    }
    glColor3f(1, 1, 1);
}

// Shader programs are core from OpenGL 2.0; the context's own version leads
// the string, whatever the driver could do in another profile.
TEST(StretchProgram, NeedsOpenGl20) {
    const struct {
        const char* version;
        bool enough;
    } cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", true},
        {"2.0 Mesa 7.0", true},
        {"2.1 Mesa 22.3.6", true},
        {"1.4 (2.1 Mesa 22.3.6)", false},
        {"1.5", false},
        {"10.1", true},
        {"", false},
        {"OpenGL ES 3.2 Mesa", false},
    };
    for (const auto& c : cases) EXPECT_EQ(HasOpenGl20(c.version), c.enough) << c.version;
}

// A light window on a software rasteriser has no depth buffer: the scene goes
// through its picture, which holds the depth, and comes out as it does in a
// window that has one. Ten frames, a second and a half apart (past the
// opening's veil): too few for the budget to change the scale.
TEST_F(ViewTest, LightViewWithoutADepthBufferDrawsTheSameFrames) {
    quality = Quality::Light;
    std::vector<std::uint8_t> frames[2];
    for (const OffscreenFormat format : {OffscreenFormat::Window, OffscreenFormat::LightWindow}) {
        std::string error;
        context_ = OffscreenContext::Create(320, 180, &error, format);
        ASSERT_NE(context_, nullptr) << error;
        surface_ = std::make_unique<RecordingSurface>(context_.get(), &clock);
        clock.Set(500.0);
        auto view = MakeView(0, false, FROSTVALE_BAKED_DIR, nullptr, true);  // a preview: the scene alone
        view->StartAnimation();
        for (int i = 0; i < 10; ++i) Frame(*view, 1.5);
        ASSERT_NE(view->Engine(), nullptr);
        EXPECT_TRUE(view->StretchesWithProgram());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        frames[format == OffscreenFormat::Window ? 0 : 1] = context_->LastPresented();
        view.reset();
    }
    // Two runs of the same view differ in a few dozen pixels of a thin band
    // wherever they are drawn; a scene without its depth test differs in most.
    ASSERT_EQ(frames[0].size(), frames[1].size());
    std::size_t differing = 0;
    for (std::size_t p = 0; p < frames[0].size(); p += 4) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(frames[0][p + c] - frames[1][p + c]));
        differing += worst > 16;
    }
    EXPECT_LT(differing, frames[0].size() / 4 / 500);
    std::size_t lit = 0;
    for (std::size_t p = 0; p < frames[1].size(); p += 4) lit += frames[1][p] + frames[1][p + 1] + frames[1][p + 2] > 60;
    EXPECT_GT(lit, frames[1].size() / 4 / 10) << "the scene, not a black frame";
}

// A resize re-runs the GL set-up on the same engine. A window the daemon
// shrinks to nothing, or to one pixel, and back: the view draws on with a
// finite projection, no GL error, and the same engine.
TEST_F(ViewTest, ResizesOfAnySizeKeepTheEngineAndTheViewWhole) {
    auto view = MakeView();
    view->StartAnimation();
    Frame(*view, kTick);
    const SSMAIN* engine = view->Engine();
    ASSERT_NE(engine, nullptr);
    for (const DrawableSize size : {DrawableSize{200, 100}, DrawableSize{0, 0}, DrawableSize{1, 1},
                                    DrawableSize{1, 0}, DrawableSize{320, 180}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        ASSERT_TRUE(context_->Resize(std::max(size.width, 1), std::max(size.height, 1)));
        surface_->size = size;
        view->SetFrameSize(size.width, size.height);
        const int before = surface_->presents;
        for (int i = 0; i < 30; ++i) Frame(*view, kTick);
        EXPECT_EQ(surface_->presents, before + 30);
        EXPECT_EQ(view->Engine(), engine);
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (const GLfloat value : projection) EXPECT_TRUE(std::isfinite(value));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        if (size.width == 200) {
            EXPECT_EQ(engine->width, 200);
            EXPECT_EQ(engine->height, 100);
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            EXPECT_EQ(viewport[2], 200);
            EXPECT_EQ(viewport[3], 100);
            EXPECT_NEAR(projection[5] / projection[0], 2.0, 1e-5);  // aspect 2:1
        }
    }
    EXPECT_EQ(engine->width, 320);
}

// With MainMonitorOnly a second display stays black and stops.
TEST_F(ViewTest, MainMonitorOnlyKeepsASecondDisplayBlack) {
    auto view = MakeView(1, true);
    view->StartAnimation();
    const int presents = surface_->presents;
    Frame(*view, kTick);
    Frame(*view, kTick);
    EXPECT_FALSE(view->IsAnimating());
    EXPECT_EQ(view->Engine(), nullptr);
    EXPECT_EQ(surface_->presents, presents);
}

TEST_F(ViewTest, OnlyTheMainDisplaysFullViewPlaysCarolsAndDestructionStopsThem) {
    struct Case {
        const char* what;
        int display;
        bool preview;
        int carols;  // started, and stopped by the view's end
    };
    for (const Case c : {Case{"main display", 0, false, 1}, Case{"second display", 1, false, 0},
                         Case{"preview", 0, true, 0}}) {
        SCOPED_TRACE(c.what);
        FakePlayerFactory players;
        auto view = MakeView(c.display, false, FROSTVALE_BAKED_DIR, &players, c.preview);
        view->StartAnimation();
        Frame(*view, kTick);  // set-up
        ASSERT_FALSE(view->SetupFailed());
        for (int i = 0; i < 8; ++i) Frame(*view, kTick);
        EXPECT_EQ(players.log.started, c.carols);
        view->StopAnimation();
        EXPECT_EQ(players.log.stopped, 0) << "stopping the animation leaves the carol playing";
        view.reset();
        EXPECT_EQ(players.log.stopped, c.carols);
        EXPECT_EQ(players.log.alive, 0);
    }
}

// The frustum of the camera a scene holds now, as its frame driver reads it
// from GL after placing that camera.
FrustumPlanes CameraFrustum(const XMASMAIN& scene, int width, int height) {
    LoadSceneProjection(width, height);
    const VECTOR3D eye = scene.cameraEye, target = scene.cameraTarget, up = scene.cameraUp;
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    return ExtractFrustum();
}

int PosedReindeer(const XMASMAIN& scene) {
    return static_cast<int>(std::count_if(scene.reindeer.begin(), scene.reindeer.end(),
                                          [](const ONEREINDEER& deer) { return deer.visible; }));
}

// Two views of one process (two displays), their frames interleaved: one
// behind the sleigh looking down the line at the whole team, one just ahead
// of the sleigh looking back, past which the leading reindeer fly. Each keeps
// the frustum of its own camera and poses the reindeer that camera sees,
// whatever the other view drew last.
TEST_F(ViewTest, TwoViewsEachCullAgainstTheirOwnCamera) {
    std::string error;
    auto otherContext = OffscreenContext::Create(320, 180, &error);
    ASSERT_NE(otherContext, nullptr) << error;
    RecordingSurface otherSurface(otherContext.get(), &clock);
    heldShot = 4;
    auto behind = MakeView(0);
    heldShot = 2;
    auto ahead = MakeView(1, false, FROSTVALE_BAKED_DIR, nullptr, false, &otherSurface);
    behind->StartAnimation();
    ahead->StartAnimation();
    for (int i = 0; i < 90; ++i) {
        clock.Advance(kTick);
        behind->AnimateOneFrame();
        ahead->AnimateOneFrame();
    }
    ASSERT_NE(behind->Engine(), nullptr);
    ASSERT_NE(ahead->Engine(), nullptr);
    const XMASMAIN& behindScene = *behind->Engine()->xmasMain;
    const XMASMAIN& aheadScene = *ahead->Engine()->xmasMain;

    ASSERT_TRUE(context_->MakeCurrent());
    const FrustumPlanes behindCamera = CameraFrustum(behindScene, 320, 180);
    ASSERT_TRUE(otherContext->MakeCurrent());
    const FrustumPlanes aheadCamera = CameraFrustum(aheadScene, 320, 180);
    EXPECT_EQ(behindScene.frustum, behindCamera);
    EXPECT_EQ(aheadScene.frustum, aheadCamera);

    EXPECT_EQ(PosedReindeer(behindScene), static_cast<int>(behindScene.reindeer.size()));
    EXPECT_LT(PosedReindeer(aheadScene), static_cast<int>(aheadScene.reindeer.size()));
}

TEST_F(ViewTest, FailedSetUpKeepsTheDisplayBlackAndSaysWhy) {
    auto view = MakeView(0, false, "/nonexistent");
    view->StartAnimation();
    Frame(*view, kTick);
    EXPECT_TRUE(view->SetupFailed());
    EXPECT_EQ(view->Engine(), nullptr);
    EXPECT_EQ(view->SetupProblem().Line(), "assets: cannot open \"/nonexistent/tex.brm\": No such file or directory");
    for (int i = 0; i < 5; ++i) Frame(*view, kTick);
    const auto pixels = context_->LastPresented();
    ASSERT_FALSE(pixels.empty());
    for (std::size_t i = 0; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i] | pixels[i + 1] | pixels[i + 2], 0);
}

// The host's loop with a sleep that a signal cuts short now and then and a
// busy machine makes late: the view's gate passes on every call, so a frame
// comes every interval, never a second one. At 1/60 s lateness alone slows the
// rate; a longer interval keeps to its rate however late each wake-up is.
TEST_F(ViewTest, JitteryWakeUpsStillGiveTheViewAFrameEveryInterval) {
    // The least gap between two frames: the gate at 1/60 s; on a longer
    // interval's grid, a late wake-up followed by a prompt one.
    constexpr double kLatest = 1.5e-3;
    const struct {
        Quality quality;
        double interval, leastGap, leastRate;
    } cases[] = {{Quality::Full, kTick, kTick, 57.0},
                 {Quality::Light, 2 * kTick, 2 * kTick - kLatest - FramePacer::kMargin, 29.95}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interval);
        quality = c.quality;
        auto owned = MakeView(0, false, "/nonexistent");  // no engine: every accepted frame is a black present
        FrostvaleView& view = *owned;
        view.StartAnimation();
        std::vector<double>& presents = surface_->times;
        presents.clear();

        std::mt19937 random(7);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
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
        });

        int calls = 0;
        for (int i = 0; i < 600; ++i) {
            if (pacer.Due(view.NextFrameDue())) {
                ++calls;
                view.AnimateOneFrame();
                clock.Advance(2e-3);  // the frame's own work
            }
            ASSERT_TRUE(pacer.SleepUntil(pacer.Deadline(view.NextFrameDue()), nullptr));
        }
        // The first call sets up (and drops the gap since start); every later one presents.
        EXPECT_EQ(static_cast<int>(presents.size()), calls - 1);
        EXPECT_GT(waits, 600);  // the early wake-ups were slept again, not taken as due
        ASSERT_GT(presents.size(), 500u);
        for (std::size_t i = 1; i < presents.size(); ++i) {
            const double gap = presents[i] - presents[i - 1];
            ASSERT_GE(gap, c.leastGap) << "frame " << i;
            ASSERT_LE(gap, c.interval + FramePacer::kMargin + kLatest + 1e-9) << "frame " << i;
        }
        const double rate = (presents.size() - 1) / (presents.back() - presents.front());
        EXPECT_GT(rate, c.leastRate);
    }
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
        EXPECT_EQ(VideoDriversFor(c.user, c.wayland, c.x11Only), c.drivers)
            << testing::PrintToString(c.user) << " " << testing::PrintToString(c.wayland);
    }
    EXPECT_EQ(WithoutVideoDriver("wayland,x11", "wayland"), "x11");
    EXPECT_EQ(WithoutVideoDriver("x11,wayland,,wayland", "wayland"), "x11");
    EXPECT_EQ(WithoutVideoDriver("wayland", "wayland"), "");
    EXPECT_EQ(WithoutVideoDriver("waylandx,x11", "wayland"), "waylandx,x11");
}
