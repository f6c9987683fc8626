// The texture font: its glyph table, quads and line layout, and what
// DrawString puts on screen with a synthetic font picture.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/egl_offscreen.h"
#include "tests/gl_pictures.h"
#include "text/fps.h"
#include "text/text.h"

using namespace testpics;

namespace {
// A w x h pixel view with the origin at the centre, texturing and culling on
// as the overlay draws.
std::unique_ptr<OffscreenContext> MakeView(int w, int h) {
    std::string error;
    auto context = OffscreenContext::Create(w, h, &error);
    EXPECT_NE(context, nullptr) << error;
    if (!context) return context;
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
    return context;
}

void ExpectNear(Rgb got, Rgb want, double scale, const char* where) {
    EXPECT_NEAR(got.r, want.r * scale, 2.0) << where;
    EXPECT_NEAR(got.g, want.g * scale, 2.0) << where;
    EXPECT_NEAR(got.b, want.b * scale, 2.0) << where;
}
}  // namespace

TEST(Font, EveryByteMapsInsideTheTableOrToNothing) {
    for (int code = 0; code < 256; ++code) {
        const int glyph = GlyphIndex(static_cast<unsigned char>(code));
        if (code >= 33 && code <= 127) {
            EXPECT_EQ(glyph, code - 32) << code;
        } else {
            EXPECT_EQ(glyph, -1) << code;
        }
    }
}

// A view with the glyph table and a synthetic font picture whose every cell
// has its own colour.
class DrawString : public ::testing::Test {
protected:
    void Open(int w, int h) {
        view_ = MakeView(w, h);
        ASSERT_NE(view_, nullptr);
        SetupText(&glyphs_);
        font_ = MakeCellFont();
    }
    void TearDown() override {
        if (view_) glDeleteTextures(1, &font_);
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
        ExpectNear(At(Draw(p.text, p.size, p.alpha), 128, 64 + p.x, 32 + p.y), p.colour, p.alpha, p.where);
    }
    GLboolean blend = GL_TRUE;
    glGetBooleanv(GL_BLEND, &blend);
    EXPECT_FALSE(blend);
    EXPECT_TRUE(AllBlack(Draw(stray, 16.0f, 1.0f))) << "spaces and stray bytes draw nothing";
}

TEST_F(DrawString, EmptyAndNullTextLeaveBlendingOffAndTheColourWhite) {
    ASSERT_NO_FATAL_FAILURE(Open(32, 32));
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        glEnable(GL_BLEND);
        EXPECT_TRUE(AllBlack(Draw(text, 16.0f, 0.75f)));
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float c : colour) EXPECT_EQ(c, 1.0f);
        GLboolean blend = GL_TRUE;
        glGetBooleanv(GL_BLEND, &blend);
        EXPECT_FALSE(blend);
    }
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
