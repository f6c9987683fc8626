// The overlay's timing (banner, countdown glide, veil, intro) without GL, and
// what a frame of it puts where on screen, drawn offscreen; the texture font
// it writes with, drawn with a synthetic font picture.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/vertex_stream.h"
#include "engine/ssmain.h"
#include "host/options.h"
#include "host/run_calendar.h"
#include "platform/egl_offscreen.h"
#include "tests/gl_pictures.h"
#include "text/calendar.h"
#include "text/countdown.h"
#include "text/fps.h"
#include "text/overlay.h"
#include "text/text.h"

using namespace testpics;

namespace {
// Random draws the banner takes, in order; repeats the last one.
std::vector<int> gDraws = {0};
std::size_t gNextDraw = 0;
int ScriptedRandom() { return gDraws[std::min(gNextDraw++, gDraws.size() - 1)]; }
void ScriptRandom(std::initializer_list<int> draws) {
    gDraws = draws;
    gNextDraw = 0;
}

// Advances the overlay's state as the frame driver's frames would, at a
// fixed rate, until the engine time reaches `until`.
struct Timeline {
    OVERLAYSTATE state;
    OverlayFrame frame;
    double t = 0.0;
    double rateDt;  // the usual frame's elapsed seconds

    Timeline(int width, int height, double rate) : rateDt(1.0 / rate) {
        frame.width = width;
        frame.height = height;
        frame.frameTime = 1.0 / rate;
        frame.random = ScriptedRandom;
        ScriptRandom({0});
    }
    void Step(double dt) {
        t += dt;
        frame.frameTime = dt;
        frame.totalTime = t;
        AdvanceBanner(&state, frame);
        AdvanceVeil(&state, dt);
        if (!state.introDone) AdvanceIntro(&state, t, dt);
    }
    void RunTo(double until) {
        const double dt = rateDt;
        while (t + dt * 0.5 < until) Step(dt);
    }
};

constexpr double kInf = 1e30;
// One field of the state, to lie within [lo, hi] once the run reaches t.
struct Expect {
    double t;
    const char* what;
    double (*get)(const OVERLAYSTATE&);
    double lo, hi;
};
#define FIELD(f) #f, [](const OVERLAYSTATE& s) { return static_cast<double>(s.f); }

// Runs at 60 frames a second through the rows, in time order.
void RunExpecting(std::initializer_list<Expect> rows) {
    Timeline run(1280, 720, 60.0);
    for (const Expect& e : rows) {
        run.RunTo(e.t);
        const double v = e.get(run.state);
        EXPECT_GE(v, e.lo) << e.what << " at " << e.t << " s";
        EXPECT_LE(v, e.hi) << e.what << " at " << e.t << " s";
    }
}
}  // namespace

// Each part's own schedule, run at 60 frames a second: the banner comes in
// at alternating edges, the countdown glides in and makes way for it, the
// veil fades in every minute for twenty seconds, the intro fades its
// pictures in and out one after the other.
TEST(OverlayTiming, EachPartKeepsItsSchedule) {
    RunExpecting({
        {14.9, FIELD(bannerIn), 0, 0},          {14.9, FIELD(bannerPos.y), -40.1, -39.9},  // towards the lower goal
        {15.1, FIELD(bannerIn), 1, 1},          {15.1, FIELD(bannerAtTop), 1, 1},         // the first is at the top,
        {15.1, FIELD(bannerPos.y), 720.001, kInf},                                       // just outside the edge
        {20.0, FIELD(bannerPos.y), 679, 681},   {34.9, FIELD(bannerIn), 1, 1},            // settled 40 below the top
        {35.1, FIELD(bannerIn), 0, 0},          {35.1, FIELD(bannerAtTop), 1, 1},         // leaves by the same edge
        {64.9, FIELD(bannerIn), 0, 0},          {64.9, FIELD(bannerPos.y), 759.5, 760.5},
        {65.1, FIELD(bannerIn), 1, 1},          {65.1, FIELD(bannerAtTop), 0, 0},         // the bottom this time
        {65.1, FIELD(bannerPos.y), -kInf, -0.001}, {70.0, FIELD(bannerPos.y), 4, 6},
        {125.1, FIELD(bannerIn), 1, 1},         {125.1, FIELD(bannerAtTop), 1, 1},
    });
    RunExpecting({
        {0.0, FIELD(countdownY), 1000, 1000},   {1.0, FIELD(countdownY), 748 + 252 * 0.3 + 0.001, 999.999},
        {14.0, FIELD(countdownY), 747.9, 748.1}, {20.0, FIELD(countdownY), 817, 819},  // above the screen's top
        {40.0, FIELD(countdownY), 747, 749},
    });
    RunExpecting({
        {59.9, FIELD(veilAlpha), 0, 0},  {61.0, FIELD(veilAlpha), 0.48, 0.52}, {62.1, FIELD(veilAlpha), 1, 1},
        {79.9, FIELD(veilAlpha), 1, 1},  {81.0, FIELD(veilAlpha), 0.48, 0.52}, {82.1, FIELD(veilAlpha), 0, 0},
        {119.9, FIELD(veilAlpha), 0, 0}, {121.0, FIELD(veilAlpha), 0.48, 0.52},
    });
    RunExpecting({
        {4.9, FIELD(introTopAlpha), -kInf, -1e-9},     {5.5, FIELD(introTopAlpha), 0.48, 0.52},
        {5.5, FIELD(introBottomAlpha), -1.000001, -0.999999},  // waits for the upper one
        {7.5, FIELD(introTopAlpha), 1, kInf},          {7.5, FIELD(introBottomAlpha), 0.48, 0.52},
        {11.9, FIELD(introBottomAlpha), 1, kInf},      {12.5, FIELD(introTopAlpha), 0.47, 0.53},
        {12.5, FIELD(introBottomAlpha), 1, kInf},      {13.5, FIELD(introTopAlpha), -kInf, 0},
        {13.5, FIELD(introBottomAlpha), 0.47, 0.53},   {13.9, FIELD(introDone), 0, 0},
        {14.2, FIELD(introDone), 1, 1},
    });
}

TEST(OverlayTiming, EachSlideInDrawsTheStripThenTheEnd) {
    Timeline run(1280, 720, 60.0);
    ScriptRandom({7, 3});  // odd strip draw: 5; odd end draw: the right end
    run.RunTo(15.1);
    EXPECT_EQ(run.state.bannerTexture, 5u);
    EXPECT_EQ(run.state.bannerPos.x, 1280.0f - 256.0f);
    ScriptRandom({2, 4});
    run.RunTo(65.1);
    EXPECT_EQ(run.state.bannerTexture, 4u);
    EXPECT_EQ(run.state.bannerPos.x, 0.0f);
    ScriptRandom({-3, -8});  // a random source with negative values still picks a strip
    run.RunTo(125.1);
    EXPECT_EQ(run.state.bannerTexture, 5u);
    EXPECT_EQ(run.state.bannerPos.x, 0.0f);
}

TEST(OverlayTiming, KeepsTheSamePaceAtAnyFrameRate) {
    for (double when : {7.5, 20.0, 40.0, 61.0, 62.0, 81.0, 121.0}) {
        Timeline slow(1280, 720, 24.0), usual(1280, 720, 60.0), fast(1280, 720, 144.0);
        slow.RunTo(when);
        usual.RunTo(when);
        fast.RunTo(when);
        for (const Timeline* other : {&slow, &fast}) {
            EXPECT_EQ(other->state.bannerIn, usual.state.bannerIn) << when;
            EXPECT_EQ(other->state.bannerAtTop, usual.state.bannerAtTop) << when;
            EXPECT_NEAR(other->state.bannerPos.y, usual.state.bannerPos.y, 3.0f) << when;
            EXPECT_NEAR(other->state.countdownY, usual.state.countdownY, 3.0f) << when;
            EXPECT_NEAR(other->state.veilAlpha, usual.state.veilAlpha, 0.05f) << when;
            EXPECT_NEAR(other->state.introTopAlpha, usual.state.introTopAlpha, 0.05f) << when;
            EXPECT_NEAR(other->state.introBottomAlpha, usual.state.introBottomAlpha, 0.05f) << when;
        }
    }
}

// The scene is left unrasterised exactly on the frames whose veil comes out
// opaque, at a steady and at an uneven frame rate, over two veils.
TEST(OverlayTiming, VeilCoversAllOnlyOnFramesItIsDrawnOpaque) {
    for (const std::array<double, 2>& dts : {std::array{1.0 / 60, 1.0 / 60}, std::array{0.013, 0.25}}) {
        Timeline run(1280, 720, 60.0);
        int covered = 0;
        for (int i = 0; run.t < 150.0; ++i) {
            const double dt = dts[static_cast<std::size_t>(i % 2)];
            const bool predicted = VeilCoversAll(run.state, dt);
            run.Step(dt);
            ASSERT_EQ(predicted, run.state.veilAlpha >= 1.0f) << run.t;
            covered += predicted;
        }
        EXPECT_GT(covered, 0);
    }
}

TEST(OverlayTiming, LongFrameOvershootsThenComesBack) {
    Timeline run(1280, 720, 60.0);
    run.RunTo(15.1);  // the banner has just started in at the top; the text has barely left 748
    const float textBefore = run.state.countdownY;
    ASSERT_LT(textBefore, 760.0f);
    run.Step(1.5);  // a 1.5 s gap, which the view lets through
    EXPECT_GT(run.state.countdownY, 818.0f);
    EXPECT_LT(run.state.bannerPos.y, 680.0f);  // past its goal, 40 below the top
    const float overshoot = run.state.countdownY;
    run.RunTo(run.t + 1.0);
    EXPECT_LT(run.state.countdownY, overshoot);
    EXPECT_GT(run.state.countdownY, 818.0f);
    run.RunTo(run.t + 4.0);
    EXPECT_NEAR(run.state.countdownY, 818.0f, 0.5f);
    EXPECT_NEAR(run.state.bannerPos.y, 680.0f, 1.0f);
}

namespace {
constexpr Rgb kBanner{200, 40, 40}, kIntroTop{40, 200, 40}, kIntroBottom{40, 40, 200}, kStripA{200, 200, 40},
    kStripB{40, 200, 200};
constexpr float kGrey = 0.4f;  // the "scene" the overlay draws over

struct OffscreenOverlay {
    std::unique_ptr<OffscreenContext> context;
    Timeline run;
    int width, height;
    CalendarClock calendar = [] {
        std::tm now{};
        ParseCalendarTime("2026-12-24 18:00:00", &now);
        return now;
    };
    GlyphTable glyphs;

    OffscreenOverlay(int w, int h) : run(w, h, 60.0), width(w), height(h) {
        std::string error;
        context = OffscreenContext::Create(w, h, &error);
        EXPECT_NE(context, nullptr) << error;
        if (!context) return;
        SetupText(&glyphs);
        run.frame.glyphs = &glyphs;
        run.frame.pictures[kPictureFont] = MakeCellFont();
        run.frame.pictures[kPictureBanner] = MakeSolidPicture(kBanner);
        run.frame.pictures[kPictureIntroTop] = MakeSolidPicture(kIntroTop);
        run.frame.pictures[kPictureIntroBottom] = MakeSolidPicture(kIntroBottom);
        run.frame.pictures[kPictureStripA] = MakeSolidPicture(kStripA);
        run.frame.pictures[kPictureStripB] = MakeSolidPicture(kStripB);
        run.frame.calendar = &calendar;
    }

    // Steps the state to just before `when`, then draws the frame at `when`
    // as the frame driver would after an empty scene.
    std::vector<std::uint8_t> DrawAt(double when) {
        run.RunTo(when - run.rateDt);
        const double dt = run.rateDt;
        run.t += dt;
        run.frame.frameTime = dt;
        run.frame.totalTime = run.t;
        glViewport(0, 0, width, height);
        glClearColor(kGrey, kGrey, kGrey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        DoOverlayFrame(&run.state, run.frame);
        glDisable(GL_TEXTURE_2D);
        return context->ReadPixels();
    }
    // Pixel of the overlay space point (x, y), 1024 x 768 stretched over the view.
    Rgb Overlay(const std::vector<std::uint8_t>& pixels, float x, float y) const {
        return At(pixels, width, static_cast<int>(x * width / 1024.0f), static_cast<int>(y * height / 768.0f));
    }
};

void ExpectColour(Rgb got, Rgb want, const char* where, int tolerance = 3) {
    EXPECT_NEAR(got.r, want.r, tolerance) << where;
    EXPECT_NEAR(got.g, want.g, tolerance) << where;
    EXPECT_NEAR(got.b, want.b, tolerance) << where;
}
Rgb Mix(Rgb a, float share, Rgb b) {
    return {static_cast<int>(a.r * share + b.r * (1 - share)), static_cast<int>(a.g * share + b.g * (1 - share)),
            static_cast<int>(a.b * share + b.b * (1 - share))};
}
const Rgb kGreyRgb{102, 102, 102};

// Whether any pixel of rows y0..y1 differs from the grey background.
bool RowsTouched(const std::vector<std::uint8_t>& pixels, int width, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb p = At(pixels, width, x, y);
            if (std::abs(p.r - 102) > 3 || std::abs(p.g - 102) > 3) return true;
        }
    }
    return false;
}
}  // namespace

TEST(OverlayDrawing, IntroAndCountdownAtSevenAndAHalfSeconds) {
    OffscreenOverlay view(640, 480);
    ASSERT_NE(view.context, nullptr);
    const auto pixels = view.DrawAt(7.5);
    ExpectColour(view.Overlay(pixels, 512, 614.4f), kIntroTop, "upper picture, fully in");
    ExpectColour(view.Overlay(pixels, 512 - 250, 614.4f + 60), kIntroTop, "upper picture's corner");
    ExpectColour(view.Overlay(pixels, 512 - 262, 614.4f), kGreyRgb, "left of the upper picture");
    const float bottom = view.run.state.introBottomAlpha;
    EXPECT_NEAR(bottom, 0.5f, 0.05f);
    ExpectColour(view.Overlay(pixels, 512, 192), Mix(kIntroBottom, bottom, kGreyRgb), "lower picture, half in");
    ExpectColour(view.Overlay(pixels, 512, 192 + 134), kGreyRgb, "above the lower picture");
    // The countdown's two lines, centred on 748 and 732: glyphs there, none between the lines of the pictures.
    EXPECT_TRUE(RowsTouched(pixels, 640, static_cast<int>(746 * 0.625f), static_cast<int>(750 * 0.625f)));
    EXPECT_TRUE(RowsTouched(pixels, 640, static_cast<int>(730 * 0.625f), static_cast<int>(734 * 0.625f)));
    EXPECT_FALSE(RowsTouched(pixels, 640, static_cast<int>(700 * 0.625f), static_cast<int>(715 * 0.625f)));
    // The scene's state comes back for the next frame.
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OverlayDrawing, BannerKeepsItsPixelSizeAtTheTopAndTheTextMakesWay) {
    for (int height : {480, 360}) {
        OffscreenOverlay view(640, height);
        ASSERT_NE(view.context, nullptr);
        ScriptRandom({0, 0});  // strip 4 at the left end
        const auto pixels = view.DrawAt(20.0);
        const int y = static_cast<int>(view.run.state.bannerPos.y) + 16;
        EXPECT_NEAR(y, height - 40 + 16, 2);
        ExpectColour(At(pixels, 640, 30, y), kBanner, "side picture");
        ExpectColour(At(pixels, 640, 70, y), kStripA, "strip over the side picture");
        ExpectColour(At(pixels, 640, 570, y), kStripA, "strip's right end");
        ExpectColour(At(pixels, 640, 582, y), kGreyRgb, "right of the strip");
        ExpectColour(At(pixels, 640, 320, y - 20), kGreyRgb, "below the banner");
        // The countdown has gone up out of view: nothing drawn in the upper band but the banner.
        EXPECT_FALSE(RowsTouched(pixels, 640, height / 2, height - 50)) << height;
    }
}

TEST(OverlayDrawing, VeilDarkensEverythingAndShowsItsStrip) {
    OffscreenOverlay view(640, 480);
    ASSERT_NE(view.context, nullptr);
    ScriptRandom({1, 0});  // strip 5
    const auto pixels = view.DrawAt(61.5);
    const float alpha = view.run.state.veilAlpha;
    EXPECT_NEAR(alpha, 0.75f, 0.02f);
    ExpectColour(view.Overlay(pixels, 100, 200), Mix({0, 0, 0}, alpha, kGreyRgb), "veiled scene");
    ExpectColour(view.Overlay(pixels, 5, 384), Mix(kStripB, alpha, Mix({0, 0, 0}, alpha, kGreyRgb)), "strip");
    ExpectColour(view.Overlay(pixels, 1019, 360), Mix(kStripB, alpha, Mix({0, 0, 0}, alpha, kGreyRgb)),
                 "strip's lower right");
    ExpectColour(view.Overlay(pixels, 512, 345), Mix({0, 0, 0}, alpha, kGreyRgb), "under the strip");
}

// A set of one picture (the font), with the countdown hidden: what is
// missing is left out, not indexed, and the hidden countdown still glides.
TEST(OverlayDrawing, MissingPicturesAreLeftOutNotIndexed) {
    OffscreenOverlay view(640, 480);
    ASSERT_NE(view.context, nullptr);
    for (int i = 1; i < kOverlayPictures; ++i) view.run.frame.pictures[i] = 0;
    view.run.frame.showCountdown = false;
    ScriptRandom({0, 0});
    auto pixels = view.DrawAt(7.5);
    ExpectColour(view.Overlay(pixels, 512, 614.4f), kGreyRgb, "no upper picture");
    pixels = view.DrawAt(20.0);
    ExpectColour(At(pixels, 640, 30, 480 - 24), kGreyRgb, "no banner");
    pixels = view.DrawAt(40.0);
    EXPECT_NEAR(view.run.state.countdownY, 748.0f, 1.0f);
    EXPECT_FALSE(RowsTouched(pixels, 640, 440, 479)) << "no countdown";
    pixels = view.DrawAt(61.5);
    ExpectColour(view.Overlay(pixels, 512, 384), Mix({0, 0, 0}, view.run.state.veilAlpha, kGreyRgb), "veil, no strip");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {
// The frame driver on the baked resources, with the countdown on. The
// engine is declared after the context so that it goes first.
struct Driver {
    std::unique_ptr<OffscreenContext> context;
    SETTINGS settings;
    SSMAIN engine;

    bool SetUp(bool preview) {
        std::string error;
        context = OffscreenContext::Create(320, 240, &error);
        EXPECT_NE(context, nullptr) << error;
        settings.SHOWCOUNTDOWN = true;
        return context != nullptr && engine.Setup(preview, 320, 240, &settings, FROSTVALE_BAKED_DIR);
    }
    void Run(int frames, double dt) {
        glViewport(0, 0, 320, 240);
        for (int i = 0; i < frames; ++i) {
            engine.Update(dt);
            engine.Draw({});
        }
    }
};
}  // namespace

// Eight seconds at 60 frames a second; null when the set-up failed.
std::unique_ptr<Driver> EightSeconds(bool preview) {
    auto d = std::make_unique<Driver>();
    if (!d->SetUp(preview)) return nullptr;
    d->Run(8 * 60, 1.0 / 60.0);
    return d;
}

TEST(FrameDriverOverlay, PreviewDrawsNoOverlayAndTheIntroWaits) {
    const auto d = EightSeconds(true);
    ASSERT_NE(d, nullptr);
    const SSMAIN& e = d->engine;
    EXPECT_TRUE(AllBlack(d->context->ReadPixels())) << "a preview draws the (empty) scene only";
    EXPECT_EQ(e.introTopAlpha, -5.0f);
    EXPECT_EQ(e.countdownY, 1000.0f);
    EXPECT_EQ(e.bannerTimer, 15.0f);
    EXPECT_NEAR(e.totalTime, 8.0, 1e-9);
}

TEST(FrameDriverOverlay, FullViewRunsTheIntroAndBringsTheCountdownIn) {
    const auto d = EightSeconds(false);
    ASSERT_NE(d, nullptr);
    const SSMAIN& e = d->engine;
    EXPECT_FALSE(AllBlack(d->context->ReadPixels()));
    EXPECT_GE(e.introTopAlpha, 1.0f);
    EXPECT_LT(e.countdownY, 760.0f);
    EXPECT_NEAR(e.totalTime, 8.0, 1e-9);
}

TEST(FrameDriverOverlay, ShortTextureSetGivesNoPictureBeyondIt) {
    Driver d;
    ASSERT_TRUE(d.SetUp(false));
    ASSERT_GE(d.engine.textures.size(), 6u);
    d.engine.textures.resize(3);
    d.engine.textures[1].Release();  // a record with no picture in it
    const OverlayFrame frame = d.engine.MakeOverlayFrame();
    EXPECT_NE(frame.pictures[kPictureFont], 0u);
    EXPECT_EQ(frame.pictures[kPictureBanner], 0u);
    EXPECT_NE(frame.pictures[kPictureIntroTop], 0u);
    for (int i = 3; i < kOverlayPictures; ++i) EXPECT_EQ(frame.pictures[i], 0u) << i;
    d.Run(70 * 10, 0.1);  // through the banner and the veil, at 10 frames a second
    EXPECT_TRUE(d.engine.introDone);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    // Cleaned up twice, the engine still takes frames harmlessly.
    d.engine.Cleanup();
    d.engine.Cleanup();
    EXPECT_EQ(d.engine.xmasMain, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    d.Run(2, 0.1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(RunCalendar, NowStartsTheCountdownAndTheRunClockAdvancesIt) {
    Options options;
    options.now = "2026-12-24 18:00:00";
    SimulatedClock clock(1000.0);
    const CalendarClock calendar = RunCalendar(options, &clock);
    const std::pair<double, const char*> steps[] = {
        {0.0, "6 Hours."},
        {7.5, "5 Hours,59 Minutes,53 Seconds."},  // part seconds do not count yet
        {6 * 3600.0 - 8.0, "1 Second."},
        {1.0, ""},  // midnight itself: nothing left to count
        {1.0, "The wait is over! Merry Christmas!"},
    };
    for (const auto& [advance, text] : steps) {
        clock.Advance(advance);
        char out[kCountDownCapacity];
        CountDown(&calendar, out, sizeof out, 11, 25, 0, 0, 0);
        EXPECT_STREQ(out, text);
    }
    // Without --now: the system's calendar.
    EXPECT_FALSE(RunCalendar(Options{}, &clock));
}

// ---- The texture font and the frame-rate meter ----

// A view with the origin at the centre, texturing and culling on as the
// overlay draws, the glyph table and a synthetic font picture whose every
// cell has its own colour (it goes with the context).
class DrawString : public ::testing::Test {
protected:
    void Open(int w, int h) {
        std::string error;
        view_ = OffscreenContext::Create(w, h, &error);
        ASSERT_NE(view_, nullptr) << error;
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-w / 2.0, w / 2.0, -h / 2.0, h / 2.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glEnable(GL_TEXTURE_2D);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
        SetupText(&glyphs_);
        font_ = MakeCellFont();
    }
    std::vector<std::uint8_t> Draw(const char* text, float size, float alpha) {
        glClear(GL_COLOR_BUFFER_BIT);
        glPushMatrix();
        ::DrawString(glyphs_, text, size, alpha, font_);
        glPopMatrix();
        return view_->ReadPixels();
    }

    std::unique_ptr<OffscreenContext> view_;
    GlyphTable glyphs_;
    GLuint font_ = 0;
};

// Pixels of drawn lines, from the view's centre: the glyph's own cell's
// colour times the line's opacity, or nothing.
TEST_F(DrawString, DrawsEachCharacterFromItsOwnCellAtItsPlace) {
    ASSERT_NO_FATAL_FAILURE(Open(128, 64));
    const Rgb none{0, 0, 0}, a = CellColour(1, 2);
    const char stray[] = {' ', '\x01', '\x1f', '\x80', '\xff', '\0'};
    const struct {
        const char* text;
        float size, alpha;
        int x, y;
        Rgb colour;
        const char* where;
    } probes[] = {
        // Cells of 32: 'A' spans -24..8, '~' spans 0..32 and is drawn over it.
        {"A~", 32, 1, -16, 0, a, "A"},
        {"A~", 32, 1, 24, 0, CellColour(14, 5), "~"},
        {"A~", 32, 1, -16, 20, none, "above"},
        {"A~", 32, 1, -16, -20, none, "below"},
        {"A~", 32, 1, -30, 0, none, "left"},
        // One cell spans -12..20 around the centre, 16 up and down.
        {"A", 32, 1, -11, 0, a, "left edge inside"},
        {"A", 32, 1, -13, 0, none, "left edge outside"},
        {"A", 32, 1, 19, 0, a, "right edge inside"},
        {"A", 32, 1, 21, 0, none, "right edge outside"},
        {"A", 32, 1, 0, 15, a, "top inside"},
        {"A", 32, 1, 0, 17, none, "top outside"},
        {"#", 32, 0.75f, 4, 0, CellColour(3, 0), "'#', code 35, at three quarters"},
        // Cells of 16: -18..-2, the space, 6..22.
        {"A A", 16, 1, -10, 0, a, "first A"},
        {"A A", 16, 1, 2, 0, none, "space"},
        {"A A", 16, 1, 14, 0, a, "second A"},
    };
    for (const auto& p : probes) {
        const Rgb got = At(Draw(p.text, p.size, p.alpha), 128, 64 + p.x, 32 + p.y);
        ExpectColour(got, Mix(p.colour, p.alpha, {0, 0, 0}), p.where, 2);
    }
    // Whatever is drawn, nothing at all included, blending is left off and the colour white.
    for (const char* text : {"A~", stray, "", static_cast<const char*>(nullptr)}) {
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        glEnable(GL_BLEND);
        const bool drawn = !AllBlack(Draw(text, 16.0f, 0.75f));
        EXPECT_EQ(drawn, text != nullptr && text[0] == 'A') << "spaces and stray bytes draw nothing";
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float c : colour) EXPECT_EQ(c, 1.0f);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
}

// Handed to the driver through a stream, a line gives the very pixels it
// gives vertex by vertex: lines long enough to make the stream grow, drawn
// in turn from both its buffers, and again after its buffers were deleted.
TEST_F(DrawString, ThroughAStreamDrawsTheSamePixels) {
    ASSERT_NO_FATAL_FAILURE(Open(128, 64));
    VERTEX_STREAM stream;
    const char* lines[] = {"A~#", "Days 5 Hours 3 Minutes 12 Seconds 59", "x y\x01z", "A~#"};
    for (int round = 0; round < 2; ++round) {
        for (const char* text : lines) {
            const auto want = Draw(text, 12.0f, 0.75f);
            glClear(GL_COLOR_BUFFER_BIT);
            glPushMatrix();
            ::DrawString(glyphs_, text, 12.0f, 0.75f, font_, &stream);
            glPopMatrix();
            EXPECT_EQ(view_->ReadPixels(), want) << text << ", round " << round;
            GLint bound = -1;
            glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
            EXPECT_EQ(bound, 0) << "a later client array would read from the stream";
            EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
        }
        stream.Delete();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(FpsMeter, AveragesOverAboutASecond) {
    FPSMETER meter;
    char fps[32], load[32];
    meter.Lines(fps, load, sizeof fps);
    EXPECT_STREQ(fps, "FPS: --");
    // 30 frames a second with a quarter of a CPU second per second.
    for (int i = 0; i < 30; ++i) meter.AddFrame(1.0 / 30.0, 10.0 + 0.25 * (i + 1) / 30.0);
    ASSERT_TRUE(meter.measured);
    EXPECT_NEAR(meter.fps, 30.0f, 0.01f);
    EXPECT_NEAR(meter.load, 25.0f * 29.0f / 30.0f, 0.1f);  // the first frame opens the window
    meter.Lines(fps, load, sizeof fps);
    EXPECT_STREQ(fps, "FPS: 30.0");
    EXPECT_EQ(std::string(load).rfind("Load: ", 0), 0u);
    // Nonsense frame times are ignored rather than poisoning the average.
    meter.AddFrame(-1.0, 10.25);
    meter.AddFrame(NAN, 10.25);
    for (int i = 0; i < 60; ++i) meter.AddFrame(1.0 / 60.0, 10.25);
    EXPECT_NEAR(meter.fps, 60.0f, 0.01f);
    EXPECT_NEAR(meter.load, 0.0f, 0.01f);
}
