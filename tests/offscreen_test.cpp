#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/egl_offscreen.h"

namespace {
std::unique_ptr<OffscreenContext> MakeContext(int w, int h) {
    std::string error;
    auto context = OffscreenContext::Create(w, h, &error);
    EXPECT_NE(context, nullptr) << error;
    return context;
}

const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& rgba, int width, int x, int y) {
    return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
}
}  // namespace

// What was presented is kept apart from the frame being drawn, and a resize
// keeps the frame shown, at its size, until the next present.
TEST(OffscreenContext, PresentsReadsBackAndResizes) {
    auto context = MakeContext(16, 8);
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(context->LastPresented().empty()) << "nothing shown yet";
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    context->Present();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(context->LastPresented().size(), 16u * 8u * 4u);
    EXPECT_EQ(PixelAt(context->LastPresented(), 16, 3, 3)[1], 255);
    EXPECT_EQ(PixelAt(context->LastPresented(), 16, 3, 3)[2], 0);
    EXPECT_EQ(PixelAt(context->ReadPixels(), 16, 15, 7)[2], 255) << "the frame being drawn";

    ASSERT_TRUE(context->Resize(20, 10));
    EXPECT_EQ(context->Size().width, 20);
    EXPECT_EQ(context->LastPresented().size(), 16u * 8u * 4u);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto pixels = context->ReadPixels();
    ASSERT_EQ(pixels.size(), 20u * 10u * 4u);
    EXPECT_EQ(PixelAt(pixels, 20, 19, 9)[0], 255);
    context->Present();
    ASSERT_EQ(context->LastPresented().size(), 20u * 10u * 4u);
    EXPECT_EQ(context->PresentCount(), 2);
}

// A size past the driver's largest framebuffer is refused with the limit named,
// not left to fail somewhere inside the driver.
TEST(OffscreenContext, RefusesASizeLargerThanTheDriverMakes) {
    auto probe = MakeContext(4, 4);
    ASSERT_NE(probe, nullptr);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    ASSERT_GT(largest, 0);
    std::string error;
    EXPECT_EQ(OffscreenContext::Create(largest + 1, 16, &error), nullptr);
    EXPECT_NE(error.find("largest framebuffer, " + std::to_string(largest)), std::string::npos) << error;
    EXPECT_EQ(OffscreenContext::Create(16, largest + 1, &error), nullptr);
}

// A light window's stand-in has no depth buffer, and its colour, kept in
// BGRA order, still reads back as RGBA with red and blue in their places.
TEST(OffscreenContext, LightWindowFormatHasNoDepthAndReadsBackRgba) {
    std::string error;
    auto context = OffscreenContext::Create(16, 8, &error, OffscreenFormat::LightWindow);
    ASSERT_NE(context, nullptr) << error;
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);
    glClearColor(1.0f, 0.0f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto pixels = context->ReadPixels();
    EXPECT_EQ(PixelAt(pixels, 16, 15, 7)[0], 255);
    EXPECT_EQ(PixelAt(pixels, 16, 15, 7)[1], 0);
    EXPECT_NEAR(PixelAt(pixels, 16, 15, 7)[2], 128, 1);
    ASSERT_TRUE(context->Resize(20, 10));
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
