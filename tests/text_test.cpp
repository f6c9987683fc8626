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
constexpr float kEps = 1e-6f;

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
    glClear(GL_COLOR_BUFFER_BIT);
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

TEST(Font, GlyphTableReadsTheGridFromTheTopLeft) {
    GlyphTable glyphs;
    SetupText(&glyphs);
    // Glyph, and its column and row in the 16 x 8 grid: space, 'A', '~' and code 127.
    const int cells[][3] = {{0, 0, 0}, {'A' - 32, 1, 2}, {'~' - 32, 14, 5}, {95, 15, 5}};
    for (const auto& [glyph, column, row] : cells) {
        EXPECT_NEAR(glyphs.FontData[glyph].x, column * 0.0625f, kEps) << glyph;
        EXPECT_NEAR(glyphs.FontData[glyph].y, row * 0.125f, kEps) << glyph;
    }
    // Set up twice: the same table.
    const point2d before = glyphs.FontData[42];
    SetupText(&glyphs);
    EXPECT_EQ(glyphs.FontData[42].x, before.x);
    EXPECT_EQ(glyphs.FontData[42].y, before.y);
}

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
        glPushMatrix();
        ::DrawString(glyphs_, text, size, alpha, font_);
        glPopMatrix();
        return view_->ReadPixels();
    }

    std::unique_ptr<OffscreenContext> view_;
    GlyphTable glyphs_;
    GLuint font_ = 0;
};

TEST_F(DrawString, DrawsEachCharacterFromItsOwnCellAtItsPlace) {
    ASSERT_NO_FATAL_FAILURE(Open(128, 64));
    const auto pixels = Draw("A~", 32.0f, 1.0f);
    // Two cells of 32: 'A' spans -24..8, '~' spans 0..32 and is drawn over it.
    ExpectNear(At(pixels, 128, 64 - 16, 32), CellColour(1, 2), 1.0, "A");
    ExpectNear(At(pixels, 128, 64 + 24, 32), CellColour(14, 5), 1.0, "~");
    // Nothing above or below the line, nor left of it.
    ExpectNear(At(pixels, 128, 64 - 16, 32 + 20), {0, 0, 0}, 1.0, "above");
    ExpectNear(At(pixels, 128, 64 - 16, 32 - 20), {0, 0, 0}, 1.0, "below");
    ExpectNear(At(pixels, 128, 64 - 30, 32), {0, 0, 0}, 1.0, "left");
    GLboolean blend = GL_TRUE;
    glGetBooleanv(GL_BLEND, &blend);
    EXPECT_FALSE(blend);
}

TEST_F(DrawString, OneCharacterSpansFromThreeEighthsLeftToFiveEighthsRight) {
    ASSERT_NO_FATAL_FAILURE(Open(128, 64));
    const auto pixels = Draw("A", 32.0f, 1.0f);
    // The cell spans -12..20 around the centre at x = 64, and 16 up and down from y = 32.
    ExpectNear(At(pixels, 128, 64 - 11, 32), CellColour(1, 2), 1.0, "left edge inside");
    ExpectNear(At(pixels, 128, 64 - 13, 32), {0, 0, 0}, 1.0, "left edge outside");
    ExpectNear(At(pixels, 128, 64 + 19, 32), CellColour(1, 2), 1.0, "right edge inside");
    ExpectNear(At(pixels, 128, 64 + 21, 32), {0, 0, 0}, 1.0, "right edge outside");
    ExpectNear(At(pixels, 128, 64, 32 + 15), CellColour(1, 2), 1.0, "top inside");
    ExpectNear(At(pixels, 128, 64, 32 + 17), {0, 0, 0}, 1.0, "top outside");
}

TEST_F(DrawString, AppliesTheLineOpacity) {
    ASSERT_NO_FATAL_FAILURE(Open(64, 64));
    // '#' is code 35: column 3 of row 0; the cell spans -12..20.
    ExpectNear(At(Draw("#", 32.0f, 0.75f), 64, 32 + 4, 32), CellColour(3, 0), 0.75, "three quarters");
}

TEST_F(DrawString, SpacesAndStrayBytesAdvanceButDrawNothing) {
    ASSERT_NO_FATAL_FAILURE(Open(128, 64));
    const char stray[] = {' ', '\x01', '\x1f', '\x80', '\xff', '\0'};
    EXPECT_TRUE(AllBlack(Draw(stray, 16.0f, 1.0f)));
    // "A A": the second 'A' is two advances to the right of the first.
    const auto pixels = Draw("A A", 16.0f, 1.0f);
    // Cells: -18..-2, space, 6..22.
    ExpectNear(At(pixels, 128, 64 - 10, 32), CellColour(1, 2), 1.0, "first A");
    ExpectNear(At(pixels, 128, 64 + 2, 32), {0, 0, 0}, 1.0, "space");
    ExpectNear(At(pixels, 128, 64 + 14, 32), CellColour(1, 2), 1.0, "second A");
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
