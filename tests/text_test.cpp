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
    EXPECT_NEAR(glyphs.FontData[0].x, 0.0f, kEps);  // space
    EXPECT_NEAR(glyphs.FontData[0].y, 0.0f, kEps);
    EXPECT_NEAR(glyphs.FontData['A' - 32].x, 1 * 0.0625f, kEps);  // column 1
    EXPECT_NEAR(glyphs.FontData['A' - 32].y, 2 * 0.125f, kEps);  // row 2
    EXPECT_NEAR(glyphs.FontData['~' - 32].x, 14 * 0.0625f, kEps);
    EXPECT_NEAR(glyphs.FontData['~' - 32].y, 5 * 0.125f, kEps);
    EXPECT_NEAR(glyphs.FontData[95].x, 15 * 0.0625f, kEps);  // code 127
    EXPECT_NEAR(glyphs.FontData[95].y, 5 * 0.125f, kEps);
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

TEST(DrawString, DrawsEachCharacterFromItsOwnCellAtItsPlace) {
    auto view = MakeView(128, 64);
    ASSERT_NE(view, nullptr);
    GlyphTable glyphs;
    SetupText(&glyphs);
    const GLuint font = MakeCellFont();
    glPushMatrix();
    DrawString(glyphs, "A~", 32.0f, 1.0f, font);
    glPopMatrix();
    const auto pixels = view->ReadPixels();
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
    glDeleteTextures(1, &font);
}

TEST(DrawString, OneCharacterSpansFromThreeEighthsLeftToFiveEighthsRight) {
    auto view = MakeView(128, 64);
    ASSERT_NE(view, nullptr);
    GlyphTable glyphs;
    SetupText(&glyphs);
    const GLuint font = MakeCellFont();
    glPushMatrix();
    DrawString(glyphs, "A", 32.0f, 1.0f, font);
    glPopMatrix();
    const auto pixels = view->ReadPixels();
    // The cell spans -12..20 around the centre at x = 64, and 16 up and down from y = 32.
    ExpectNear(At(pixels, 128, 64 - 11, 32), CellColour(1, 2), 1.0, "left edge inside");
    ExpectNear(At(pixels, 128, 64 - 13, 32), {0, 0, 0}, 1.0, "left edge outside");
    ExpectNear(At(pixels, 128, 64 + 19, 32), CellColour(1, 2), 1.0, "right edge inside");
    ExpectNear(At(pixels, 128, 64 + 21, 32), {0, 0, 0}, 1.0, "right edge outside");
    ExpectNear(At(pixels, 128, 64, 32 + 15), CellColour(1, 2), 1.0, "top inside");
    ExpectNear(At(pixels, 128, 64, 32 + 17), {0, 0, 0}, 1.0, "top outside");
    glDeleteTextures(1, &font);
}

TEST(DrawString, AppliesTheLineOpacity) {
    auto view = MakeView(64, 64);
    ASSERT_NE(view, nullptr);
    GlyphTable glyphs;
    SetupText(&glyphs);
    const GLuint font = MakeCellFont();
    glPushMatrix();
    DrawString(glyphs, "#", 32.0f, 0.75f, font);
    glPopMatrix();
    const auto pixels = view->ReadPixels();
    // '#' is code 35: column 3 of row 0; the cell spans -12..20.
    ExpectNear(At(pixels, 64, 32 + 4, 32), CellColour(3, 0), 0.75, "three quarters");
    glDeleteTextures(1, &font);
}

TEST(DrawString, SpacesAndStrayBytesAdvanceButDrawNothing) {
    auto view = MakeView(128, 64);
    ASSERT_NE(view, nullptr);
    GlyphTable glyphs;
    SetupText(&glyphs);
    const GLuint font = MakeCellFont();
    const char stray[] = {' ', '\x01', '\x1f', '\x80', '\xff', '\0'};
    glPushMatrix();
    DrawString(glyphs, stray, 16.0f, 1.0f, font);
    glPopMatrix();
    EXPECT_TRUE(AllBlack(view->ReadPixels()));

    // "A A": the second 'A' is two advances to the right of the first.
    glPushMatrix();
    DrawString(glyphs, "A A", 16.0f, 1.0f, font);
    glPopMatrix();
    const auto pixels = view->ReadPixels();
    // Cells: -18..-2, space, 6..22.
    ExpectNear(At(pixels, 128, 64 - 10, 32), CellColour(1, 2), 1.0, "first A");
    ExpectNear(At(pixels, 128, 64 + 2, 32), {0, 0, 0}, 1.0, "space");
    ExpectNear(At(pixels, 128, 64 + 14, 32), CellColour(1, 2), 1.0, "second A");
    glDeleteTextures(1, &font);
}

TEST(DrawString, EmptyAndNullTextLeaveBlendingOffAndTheColourWhite) {
    auto view = MakeView(32, 32);
    ASSERT_NE(view, nullptr);
    GlyphTable glyphs;
    SetupText(&glyphs);
    const GLuint font = MakeCellFont();
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        glEnable(GL_BLEND);
        glPushMatrix();
        DrawString(glyphs, text, 16.0f, 0.75f, font);
        glPopMatrix();
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (float c : colour) EXPECT_EQ(c, 1.0f);
        GLboolean blend = GL_TRUE;
        glGetBooleanv(GL_BLEND, &blend);
        EXPECT_FALSE(blend);
    }
    EXPECT_TRUE(AllBlack(view->ReadPixels()));
    glDeleteTextures(1, &font);
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
