#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "assets/tunes.h"
#include "host/frostvale_view.h"
#include "platform/egl_offscreen.h"
#include "tests/fake_midi_player.h"
#include "tests/midi_builder.h"

namespace {
// Counts presents and lets a test change the reported size.
class RecordingSurface final : public GLSurface {
public:
    explicit RecordingSurface(OffscreenContext* context) : context_(context) {}
    bool MakeCurrent() override { return context_->MakeCurrent(); }
    void Present() override {
        ++presents;
        context_->Present();
    }
    DrawableSize Size() const override { return size; }
    void* GetProcAddress(const char* name) override { return context_->GetProcAddress(name); }

    int presents = 0;
    DrawableSize size{320, 180};

private:
    OffscreenContext* context_;
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        context_ = OffscreenContext::Create(320, 180, &error);
        ASSERT_NE(context_, nullptr) << error;
        surface_ = std::make_unique<RecordingSurface>(context_.get());
    }

    std::unique_ptr<FrostvaleView> MakeView(int display = 0, bool mainOnly = false,
                                            std::string resources = FROSTVALE_BAKED_DIR,
                                            MidiPlayerFactory* players = nullptr, bool preview = false) {
        ViewServices services;
        services.surface = surface_.get();
        services.clock = &clock;
        services.displayNumber = display;
        services.mainDisplayNumber = 0;
        services.resourcePath = std::move(resources);
        services.seed = [] { return 1u; };
        services.players = players;
        services.quality = quality;
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
    std::unique_ptr<OffscreenContext> context_;
    std::unique_ptr<RecordingSurface> surface_;
};

constexpr double kTick = FrostvaleView::kFrameInterval;
}  // namespace

TEST_F(ViewTest, FirstFrameSetsUpAndPresentsNothing) {
    auto view = MakeView();
    view->StartAnimation();
    EXPECT_EQ(surface_->presents, 1);  // the display starts black
    Frame(*view, kTick);
    ASSERT_NE(view->Engine(), nullptr);
    EXPECT_FALSE(view->SetupFailed());
    EXPECT_EQ(surface_->presents, 1);
    EXPECT_EQ(view->Engine()->totalTime, 0.0);
    Frame(*view, kTick);
    EXPECT_EQ(surface_->presents, 2);
    EXPECT_NEAR(view->Engine()->totalTime, kTick, 1e-9);  // clock rounding: a tick still counts as due
}

TEST_F(ViewTest, FramesArePacedAndLongGapsDropped) {
    auto view = MakeView();
    view->StartAnimation();
    Frame(*view, kTick);
    const SSMAIN* engine = view->Engine();
    double expected = 0.0;
    for (double dt : {0.02, 0.05, kTick, 1.0}) {
        Frame(*view, dt);
        expected += dt;
    }
    EXPECT_NEAR(engine->totalTime, expected, 1e-9);
    const int presents = surface_->presents;

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
// again at each new scale, smaller and back up.
TEST_F(ViewTest, ScaledSceneStretchesItsPictureOverTheDrawable) {
    ASSERT_TRUE(context_->MakeCurrent());
    ScaledScene scaled;
    ASSERT_TRUE(scaled.Create(surface_.get(), 320, 180, 0.84));
    GLint own = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &own);
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
        const std::vector<std::uint8_t> pixels = context_->ReadPixels();
        auto at = [&](int x, int y) { return &pixels[(static_cast<std::size_t>(y) * 320 + x) * 4]; };
        for (int y : {0, 90, 179}) {
            EXPECT_GT(at(0, y)[0], 200) << scale;      // red reaches the left edge
            EXPECT_GT(at(319, y)[1], 200) << scale;    // green the right, no blue left anywhere
            EXPECT_LT(at(319, y)[2], 30) << scale;
            EXPECT_GT(at(100, y)[0], 200) << scale;
            EXPECT_GT(at(220, y)[1], 200) << scale;
        }
    }
    glColor3f(1, 1, 1);
}

TEST_F(ViewTest, ResizeReRunsGlSetUpWithoutANewEngine) {
    auto view = MakeView();
    view->StartAnimation();
    Frame(*view, kTick);
    Frame(*view, kTick);
    const SSMAIN* engine = view->Engine();
    EXPECT_EQ(engine->width, 320);
    ASSERT_TRUE(context_->Resize(200, 100));
    surface_->size = {200, 100};
    view->SetFrameSize(200, 100);
    Frame(*view, kTick);
    EXPECT_EQ(view->Engine(), engine);
    EXPECT_EQ(engine->width, 200);
    EXPECT_EQ(engine->height, 100);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 2.0, 1e-5);  // aspect 2:1
}

// A window the daemon shrinks to nothing, or to one pixel, and back: the view
// draws on with a finite projection, no GL error, and the same engine.
TEST_F(ViewTest, DrawablesOfNoneOrOnePixelKeepTheViewWhole) {
    auto view = MakeView();
    view->StartAnimation();
    Frame(*view, kTick);
    const SSMAIN* engine = view->Engine();
    ASSERT_NE(engine, nullptr);
    for (const DrawableSize size : {DrawableSize{0, 0}, DrawableSize{1, 1}, DrawableSize{1, 0}, DrawableSize{320, 180}}) {
        ASSERT_TRUE(context_->Resize(std::max(size.width, 1), std::max(size.height, 1)));
        surface_->size = size;
        view->SetFrameSize(size.width, size.height);
        const int before = surface_->presents;
        for (int i = 0; i < 30; ++i) Frame(*view, kTick);
        EXPECT_EQ(surface_->presents, before + 30) << size.width << "x" << size.height;
        EXPECT_EQ(view->Engine(), engine);
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (const GLfloat value : projection) EXPECT_TRUE(std::isfinite(value)) << size.width << "x" << size.height;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << size.width << "x" << size.height;
    }
    EXPECT_EQ(engine->width, 320);
}

// A second display animates without carols, or, with MainMonitorOnly, stays
// black and stops.
TEST_F(ViewTest, SecondDisplayPlaysNoCarolsAndMainMonitorOnlyKeepsItBlack) {
    for (bool mainOnly : {false, true}) {
        SCOPED_TRACE(mainOnly ? "main monitor only" : "every monitor");
        auto view = MakeView(1, mainOnly);
        view->StartAnimation();
        const int presents = surface_->presents;
        EXPECT_FALSE(view->Settings().settings.PLAYMUSIC);
        Frame(*view, kTick);
        Frame(*view, kTick);
        EXPECT_EQ(view->IsAnimating(), !mainOnly);
        EXPECT_EQ(view->Engine() != nullptr, !mainOnly);
        if (mainOnly) {
            EXPECT_EQ(surface_->presents, presents);
        }
    }
    auto main = MakeView(0, false);
    main->StartAnimation();
    EXPECT_TRUE(main->Settings().settings.PLAYMUSIC);
}

// The baked resources plus a music folder with every carol file.
std::string ResourcesWithMusic() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "fv_view_music";
    fs::remove_all(dir);
    fs::create_directories(dir / "music");
    for (const auto& entry : fs::directory_iterator(FROSTVALE_BAKED_DIR))
        if (entry.path().filename() != "music") fs::create_symlink(entry.path(), dir / entry.path().filename());
    TrackBuilder track;
    track.NoteOn(0, 0, 60, 100).NoteOff(96, 0, 60);
    const MidiBytes tune = BuildMidi(0, 96, {track});
    for (const char* file : MusicFiles) {
        std::ofstream out(dir / file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(tune.data()), static_cast<std::streamsize>(tune.size()));
    }
    return dir.string();
}

TEST_F(ViewTest, OnlyTheMainDisplaysFullViewPlaysCarolsAndDestructionStopsThem) {
    const std::string resources = ResourcesWithMusic();
    struct Case {
        int display;
        bool preview;
        bool plays;
    };
    for (const Case c : {Case{0, false, true}, Case{1, false, false}, Case{0, true, false}}) {
        SCOPED_TRACE(testing::Message() << "display " << c.display << (c.preview ? " preview" : ""));
        FakePlayerFactory players;
        auto view = MakeView(c.display, false, resources, &players, c.preview);
        view->StartAnimation();
        Frame(*view, kTick);  // set-up
        ASSERT_FALSE(view->SetupFailed());
        for (int i = 0; i < 5; ++i) Frame(*view, kTick);
        EXPECT_EQ(players.log.made, 0) << "nothing before 0.1 s";
        for (int i = 0; i < 3; ++i) Frame(*view, kTick);
        EXPECT_EQ(players.log.started, c.plays ? 1 : 0);
        view->StopAnimation();
        EXPECT_EQ(players.log.stopped, 0) << "stopping the animation leaves the carol playing";
        view.reset();
        EXPECT_EQ(players.log.stopped, c.plays ? 1 : 0);
        EXPECT_EQ(players.log.alive, 0);
    }
    std::filesystem::remove_all(resources);
}

TEST_F(ViewTest, FailedSetUpKeepsTheDisplayBlackAndSaysWhy) {
    const std::string empty = (std::filesystem::temp_directory_path() / "fv_no_resources").string();
    std::filesystem::create_directories(empty);
    auto view = MakeView(0, false, empty);
    view->StartAnimation();
    Frame(*view, kTick);
    EXPECT_TRUE(view->SetupFailed());
    EXPECT_EQ(view->Engine(), nullptr);
    EXPECT_EQ(view->SetupProblem().Line(), "assets: cannot open \"" + empty + "/tex.brm\": No such file or directory");
    for (int i = 0; i < 5; ++i) Frame(*view, kTick);
    const auto pixels = context_->LastPresented();
    ASSERT_FALSE(pixels.empty());
    for (std::size_t i = 0; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i] | pixels[i + 1] | pixels[i + 2], 0);
}

TEST_F(ViewTest, EngineSetsSharedStateAndCleansUpTwice) {
    ASSERT_TRUE(context_->MakeCurrent());
    SSMAIN engine;
    SETTINGS settings;
    ASSERT_TRUE(engine.Setup(false, 320, 180, &settings, FROSTVALE_BAKED_DIR));
    EXPECT_EQ(engine.resourcePath.back(), '/');
    EXPECT_GE(engine.textures.size(), 6u);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    engine.Update(0.25);
    engine.Update(0.5);
    engine.Draw();
    engine.Draw();
    EXPECT_DOUBLE_EQ(engine.totalTime, 0.75);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    engine.Cleanup();
    engine.Cleanup();
    EXPECT_EQ(engine.xmasMain, nullptr);
    EXPECT_TRUE(engine.textures.empty());
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    engine.Update(0.1);  // harmless without a scene
    engine.Draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
