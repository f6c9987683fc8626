#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/alert.h"
#include "assets/resfile.h"
#include "assets/texture.h"
#include "tests/scratch.h"
#include "tools/common/lumpwriter.h"

namespace {
struct Alert {
    std::string title, message;
};

// Captures alerts instead of printing them.
class AssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        context.alert = [this](const char* t, const char* m) { alerts.push_back({t, m}); };
    }

    std::string Write(const std::string& name, const Bytes& bytes) {
        WriteBytes(dir_ / name, bytes);
        return dir_ / name;
    }

    // Decodes `tga` from memory; returns the loader's result.
    int Decode(const Bytes& tga, Texture* texture) {
        BoundedReader reader(tga.data(), tga.size());
        context.error = {};
        return LoadTGA2(texture, &reader, &context, &context.error);
    }

    std::vector<Alert> alerts;
    EngineContext context;

private:
    TempDir dir_;
};

Image Gradient(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 7);
            p[1] = static_cast<std::uint8_t>(y * 13);
            p[2] = static_cast<std::uint8_t>(x + y);
            p[3] = static_cast<std::uint8_t>(255 - x);
        }
    }
    return image;
}

Bytes TgaHeader(std::uint8_t type, int w, int h, int bpp) {
    return {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
            static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), static_cast<std::uint8_t>(bpp), 0};
}
}  // namespace

TEST_F(AssetsTest, LumpFileRoundTripsAndValidatesItsHeader) {
    const Bytes file = BuildLumpFile({{{1, 2, 3}, 1, 2}, {{}, 7, 0}, {{9, 9, 9, 9}, 1, 1}});
    const std::string good = Write("good.brm", file);
    RESFILE res;
    ASSERT_EQ(res.Open(good.c_str()), 1);
    ASSERT_EQ(res.LumpCount(), 3);
    EXPECT_EQ(res.directory[0].type, 1u);
    EXPECT_EQ(res.directory[0].alphaMode, 2u);
    EXPECT_EQ(res.directory[1].type, 7u);
    ASSERT_TRUE(res.SeekLump(2));
    BoundedReader lump = res.Lump();
    std::uint8_t bytes[5];
    EXPECT_FALSE(lump.Read(bytes, 5));  // the lump is only 4 long
    ASSERT_TRUE(lump.Read(bytes, 4));
    EXPECT_EQ(bytes[3], 9);
    EXPECT_FALSE(res.SeekLump(3));
    EXPECT_FALSE(res.SeekLump(-1));
    res.Close();
    EXPECT_FALSE(res.SeekLump(0));

    Bytes appended = file;
    appended.push_back(0);
    EXPECT_EQ(res.Open(Write("appended.brm", appended).c_str()), 0);
    Bytes truncated(file.begin(), file.end() - 1);
    EXPECT_EQ(res.Open(Write("truncated.brm", truncated).c_str()), 0);
    Bytes badMagic = file;
    badMagic[0] = 'X';
    EXPECT_EQ(res.Open(Write("magic.brm", badMagic).c_str()), 0);
    EXPECT_EQ(res.Open((good + ".missing").c_str()), 0);
    EXPECT_EQ(res.Open(Write("tiny.brm", {'B', 'R', 'M'}).c_str()), 0);
    // An empty one opens, with nothing to seek.
    ASSERT_EQ(res.Open(Write("empty.brm", BuildLumpFile({})).c_str()), 1);
    EXPECT_EQ(res.LumpCount(), 0);
    EXPECT_FALSE(res.SeekLump(0));
}

// Counts and offsets from the file are checked against the file, never trusted.
TEST_F(AssetsTest, HostileDirectoriesAreRefused) {
    Bytes file = BuildLumpFile({{{1, 2, 3, 4}, 1, 0}});
    auto patch = [](Bytes b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        return b;
    };
    RESFILE res;
    // A lump count far beyond the file would otherwise ask for gigabytes.
    EXPECT_EQ(res.Open(Write("count.brm", patch(file, 12, 0x7fffffff)).c_str()), 0);
    // A directory that starts inside the file but runs past its end.
    EXPECT_EQ(res.Open(Write("dir.brm", patch(file, 20, static_cast<std::uint32_t>(file.size() - 10))).c_str()), 0);
    // A lump whose bytes lie outside the file opens, but cannot be sought.
    const std::size_t entry = LoadU32LE(&file[20]);
    ASSERT_EQ(res.Open(Write("lump.brm", patch(file, entry + 4, 0xfffffff0u)).c_str()), 1);
    EXPECT_FALSE(res.SeekLump(0));
    ASSERT_EQ(res.Open(Write("size.brm", patch(file, entry, 0x10000)).c_str()), 1);
    EXPECT_FALSE(res.SeekLump(0));
}

TEST_F(AssetsTest, DecodesUncompressedAndRunLengthIdentically) {
    const Image image = Gradient(37, 5);
    const struct {
        int bpp;
        GLenum type;
    } cases[] = {{24, GL_RGB}, {32, GL_RGBA}};
    for (const auto [bpp, type] : cases) {
        Texture raw, rle;
        ASSERT_EQ(Decode(EncodeTga(image, bpp, TgaEncoding::Uncompressed), &raw), 1);
        ASSERT_EQ(Decode(EncodeTga(image, bpp, TgaEncoding::RunLength), &rle), 1);
        EXPECT_EQ(raw.width, 37u);
        EXPECT_EQ(raw.height, 5u);
        EXPECT_EQ(raw.bpp, static_cast<unsigned>(bpp));
        EXPECT_EQ(raw.type, type);
        const std::size_t bytes = 37 * 5 * (bpp / 8);
        ASSERT_EQ(std::vector<std::uint8_t>(raw.imageData, raw.imageData + bytes),
                  std::vector<std::uint8_t>(rle.imageData, rle.imageData + bytes));
        // Stored rows come bottom first: the first decoded pixel is the picture's last row's.
        const std::uint8_t* last = image.At(0, 4);
        EXPECT_EQ(std::vector<std::uint8_t>(raw.imageData, raw.imageData + bpp / 8),
                  std::vector<std::uint8_t>(last, last + bpp / 8));
    }
    EXPECT_TRUE(alerts.empty());
}

TEST_F(AssetsTest, RunLengthPacketBoundaries) {
    // 0x80 stores one pixel, 0xFF stores 128, raw 0x7F reads 128.
    Bytes tga = TgaHeader(10, 257, 1, 24);
    tga.insert(tga.end(), {0x80, 1, 2, 3});
    tga.insert(tga.end(), {0xFF, 4, 5, 6});
    tga.push_back(0x7F);
    for (int i = 0; i < 128; ++i) tga.insert(tga.end(), {static_cast<std::uint8_t>(i), 0, 9});
    Texture t;
    ASSERT_EQ(Decode(tga, &t), 1);
    EXPECT_EQ(t.imageData[0], 3);  // B,G,R stored -> R first
    EXPECT_EQ(t.imageData[2], 1);
    EXPECT_EQ(t.imageData[3 * 1], 6);
    EXPECT_EQ(t.imageData[3 * 128], 6);
    EXPECT_EQ(t.imageData[3 * 129 + 2], 0);
    EXPECT_EQ(t.imageData[3 * 256 + 2], 127);
}

TEST_F(AssetsTest, MalformedImagesGiveTheirMessages) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* title;
        const char* message;
    };
    const auto plus = [](Bytes b, const Bytes& tail) {
        b.insert(b.end(), tail.begin(), tail.end());
        return b;
    };
    const auto patched = [](Bytes b, std::size_t at, std::uint8_t v) {
        b.at(at) = v;
        return b;
    };
    const char* const kBadType = "TGA file be type 2 or type 10 ";
    const char* const kTooMany = "Too many pixels read";
    const Case cases[] = {
        {"empty", {}, "ERROR", "Could not read file header"},
        {"type 1", TgaHeader(1, 1, 1, 24), "Invalid Image", kBadType},
        {"type 3", TgaHeader(3, 1, 1, 24), "Invalid Image", kBadType},
        {"type 11", TgaHeader(11, 1, 1, 24), "Invalid Image", kBadType},
        {"image id", patched(TgaHeader(2, 1, 1, 24), 0, 3), "Invalid Image", kBadType},
        {"origin", patched(TgaHeader(2, 1, 1, 24), 10, 1), "Invalid Image", kBadType},
        {"no info", patched(Bytes(15, 0), 2, 2), "ERROR", "Could not read info header"},
        {"16 bit", TgaHeader(2, 1, 1, 16), "ERROR", "Invalid texture information"},
        {"8 bit", TgaHeader(10, 1, 1, 8), "ERROR", "Invalid texture information"},
        {"zero width", TgaHeader(2, 0, 1, 24), "ERROR", "Invalid texture information"},
        {"short data", plus(TgaHeader(2, 4, 4, 24), Bytes(47, 0)), "ERROR", "Could not read image data"},
        {"huge", TgaHeader(2, 65535, 65535, 32), "ERROR", "Could not read image data"},
        {"no packet", TgaHeader(10, 4, 1, 24), "ERROR", "Could not read RLE header"},
        {"short raw", plus(TgaHeader(10, 4, 1, 24), {0x03, 1, 2, 3}), "ERROR", "Could not read image data"},
        {"short run", plus(TgaHeader(10, 4, 1, 24), {0x81, 1}), "ERROR", "Could not read from file"},
        // 3 + 2 pixels for 4, and two for one.
        {"run overrun", plus(TgaHeader(10, 2, 2, 24), {0x82, 1, 2, 3, 0x81, 4, 5, 6}), "ERROR", kTooMany},
        {"raw overrun", plus(TgaHeader(10, 1, 1, 32), {0x01, 1, 2, 3, 4, 5, 6, 7, 8}), "ERROR", kTooMany},
    };
    for (const Case& c : cases) {
        alerts.clear();
        Texture t;
        EXPECT_EQ(Decode(c.bytes, &t), 0) << c.name;
        EXPECT_EQ(t.imageData, nullptr) << c.name;
        ASSERT_EQ(alerts.size(), 1u) << c.name;
        EXPECT_EQ(alerts[0].title, c.title) << c.name;
        EXPECT_EQ(alerts[0].message, c.message) << c.name;
        // Kept for the set-up line without the trailing space of the alert's wording.
        const std::string message = c.message;
        EXPECT_EQ(context.error.what, message.substr(0, message.find_last_not_of(' ') + 1)) << c.name;
    }
    Texture t;
    alerts.clear();
    EXPECT_EQ(LoadTGA2(&t, nullptr, &context), 0);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Could not open texture file");
}

TEST_F(AssetsTest, AlphaModes) {
    Image image(3, 1);
    const std::uint8_t colours[3][4] = {{10, 200, 30, 7}, {0, 0, 0, 255}, {10, 200, 30, 0}};
    for (int x = 0; x < 3; ++x) std::copy(colours[x], colours[x] + 4, image.At(x, 0));
    Texture t;
    ASSERT_EQ(Decode(EncodeTga(image, 32, TgaEncoding::Uncompressed), &t), 1);
    const auto opaque = MakeTexturePixels(t, 0);
    const auto keyed = MakeTexturePixels(t, 1);
    const auto bright = MakeTexturePixels(t, 2);
    const auto other = MakeTexturePixels(t, 7);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(opaque[x * 4 + 3], 255);  // the source's own alpha is ignored
        EXPECT_EQ(other[x * 4 + 3], 255);
        EXPECT_EQ(opaque[x * 4 + 1], colours[x][1]);
    }
    EXPECT_EQ(keyed[3], 0);    // the key is the first pixel itself
    EXPECT_EQ(keyed[7], 255);
    EXPECT_EQ(keyed[11], 0);   // same colour as the key
    EXPECT_EQ(bright[3], 200);
    EXPECT_EQ(bright[7], 0);

    Texture single;
    ASSERT_EQ(Decode(EncodeTga(Gradient(1, 1), 24, TgaEncoding::RunLength), &single), 1);
    EXPECT_EQ(MakeTexturePixels(single, 1)[3], 0);
}

TEST_F(AssetsTest, HalvedPicturesAverageColourByAlpha) {
    using Px = std::vector<std::uint8_t>;
    struct Case {
        std::uint32_t w, h;
        Px in;
        std::uint32_t halfW, halfH;
        Px out;
    } cases[] = {
        // Four opaque texels: their mean.
        {2, 2, {10, 20, 30, 255, 30, 40, 50, 255, 50, 60, 70, 255, 70, 80, 90, 255}, 1, 1, {40, 50, 60, 255}},
        // A keyed (transparent) blue beside red: red at half cover; the odd last column alone.
        {3, 1, {200, 0, 0, 255, 0, 0, 255, 0, 0, 100, 0, 255}, 2, 1, {200, 0, 0, 128, 0, 100, 0, 255}},
        // Nothing covered: the plain mean, still transparent.
        {2, 1, {10, 0, 0, 0, 30, 0, 0, 0}, 1, 1, {20, 0, 0, 0}},
        {1, 1, {1, 2, 3, 4}, 1, 1, {1, 2, 3, 4}},
        // Fewer bytes than the size says: nothing read, a blank picture.
        {4, 4, {1, 2, 3, 4}, 2, 2, Px(16, 0)},
    };
    for (const Case& c : cases) {
        std::uint32_t w = c.w, h = c.h;
        EXPECT_EQ(HalvePixels(c.in, &w, &h), c.out) << c.w << "x" << c.h;
        EXPECT_EQ(w, c.halfW);
        EXPECT_EQ(h, c.halfH);
    }
}

TEST_F(AssetsTest, TextureSetKeepsLumpIndicesAndStopsAtABadImage) {
    const Bytes tga = EncodeTga(Gradient(4, 4), 24, TgaEncoding::RunLength);
    const std::string path = Write("set.brm", BuildLumpFile({{tga, 1, 0}, {{1, 2, 3}, 2, 0}, {tga, 1, 2}}));
    std::vector<Texture> set;
    // No GL context here: glGenTextures is a no-op, but decoding and indexing are real.
    ASSERT_EQ(LoadTexturesFromDataFile(path.c_str(), &set), 1);
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(set[0].width, 4u);
    EXPECT_EQ(set[1].width, 0u);  // not an image: left empty
    EXPECT_EQ(set[1].imageData, nullptr);
    EXPECT_EQ(set[2].height, 4u);
    for (const Texture& t : set) EXPECT_EQ(t.imageData, nullptr);  // freed once built

    const std::string bad = Write("bad.brm", BuildLumpFile({{tga, 1, 0}, {{0, 0, 2}, 1, 0}, {tga, 1, 0}}));
    EXPECT_EQ(LoadTexturesFromDataFile(bad.c_str(), &set, &context), 0);
    EXPECT_EQ(set.size(), 3u);  // left for the caller's clean-up
    EXPECT_EQ(set[2].width, 0u);
    ASSERT_EQ(alerts.size(), 1u);  // shown at once, and named in the one line
    EXPECT_EQ(context.error.Line(), "assets: \"" + bad + "\" lump 1 is not a readable image: Could not read file header");
    EngineContext missing;
    EXPECT_EQ(LoadTexturesFromDataFile((path + ".none").c_str(), &set, &missing), 0);
    EXPECT_EQ(missing.error.Line(), "assets: cannot open \"" + path + ".none\": No such file or directory");
}
