// Large pictures scaled down before upload, and the background kept as a JPEG.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appearance/background.h"
#include "media/picture_scale.h"

using namespace ludexa;

namespace {

RgbaImage filled(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    RgbaImage image;
    image.width = w;
    image.height = h;
    image.pixels.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r, image.pixels[i + 1] = g, image.pixels[i + 2] = b, image.pixels[i + 3] = a;
    }
    return image;
}

const std::uint8_t* at(const RgbaImage& image, int x, int y) {
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

}  // namespace

TEST(PictureScale, FitWithinKeepsTheAspectAndNeverGrows) {
    EXPECT_EQ(fitWithin(6000, 4000, 1816, 8192), (PictureSize{1816, 1211}));  // a 24-megapixel photo
    EXPECT_EQ(fitWithin(800, 600, 1816, 8192), (PictureSize{800, 600}));      // small pictures stay as they are
    EXPECT_EQ(fitWithin(1000, 40000, 1816, 8192), (PictureSize{205, 8192}));  // very tall: the texture limit
    EXPECT_EQ(fitWithin(100000, 1, 1000, 8192), (PictureSize{1000, 1}));      // never a zero side
    EXPECT_EQ(fitWithin(5000, 5000, 0, 0), (PictureSize{5000, 5000}));        // no bounds
    EXPECT_EQ(fitWithin(0, 10, 100, 100), (PictureSize{0, 10}));
}

TEST(PictureScale, ShrinkingAveragesInsteadOfSkippingPixels) {
    // Black and white columns: point sampling would give pure black or pure
    // white; a proper filter gives the same grey everywhere.
    RgbaImage stripes = filled(400, 40, 0, 0, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 1; x < 400; x += 2) std::fill_n(&stripes.pixels[(static_cast<std::size_t>(y) * 400 + x) * 4], 3, 255);
    RgbaImage small = stripes;
    ASSERT_TRUE(shrinkToFit(small, 100, 0));
    ASSERT_EQ(small.width, 100);
    ASSERT_EQ(small.height, 10);
    for (int x = 2; x < 98; x += 9) {  // the interior: edge columns repeat the border pixel
        const auto* p = at(small, x, 5);
        EXPECT_NEAR(p[0], 188, 6) << x;  // half the light, in sRGB
        EXPECT_EQ(p[0], p[2]);
        EXPECT_EQ(p[3], 255);
    }
    EXPECT_FALSE(shrinkToFit(small, 100, 0));  // already fits: untouched
    EXPECT_EQ(small.width, 100);
}

TEST(PictureScale, TransparentPixelsDoNotDarkenTheEdges) {
    // Left half opaque red, right half fully transparent black.
    RgbaImage image = filled(200, 20, 255, 0, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 100; x < 200; ++x) std::fill_n(&image.pixels[(static_cast<std::size_t>(y) * 200 + x) * 4], 4, 0);
    RgbaImage out;
    ASSERT_TRUE(resizePicture(image, 50, 5, out));
    const auto* edge = at(out, 24, 2);  // the column that mixes both halves
    EXPECT_GT(edge[3], 0);
    EXPECT_LT(edge[3], 255);
    EXPECT_GT(edge[0], 240);  // still red, not a dark blend
    RgbaImage broken = filled(4, 4, 1, 2, 3);
    broken.pixels.resize(10);
    EXPECT_FALSE(resizePicture(broken, 2, 2, out));
    EXPECT_FALSE(resizePicture(image, 0, 5, out));
}

TEST(Background, ScaledToCoverTheScreenAtMost) {
    EXPECT_EQ(backgroundSizeFor(6000, 4000, 1920, 1080), (PictureSize{1920, 1280}));
    EXPECT_EQ(backgroundSizeFor(1000, 4000, 1920, 1080), (PictureSize{1000, 4000}));  // narrower: kept
    EXPECT_EQ(backgroundSizeFor(800, 600, 1920, 1080), (PictureSize{800, 600}));
}

// What ui.jpg holds (written by the settings' atomic write).
TEST(Background, KeptAsAJpegOverTheWindowColour) {
    // Opaque blue on the left, transparent on the right: JPEG has no alpha,
    // so the transparent half shows the window's dark background colour.
    RgbaImage image = filled(64, 32, 20, 60, 220);
    for (int y = 0; y < 32; ++y)
        for (int x = 32; x < 64; ++x) image.pixels[(static_cast<std::size_t>(y) * 64 + x) * 4 + 3] = 0;
    std::vector<std::uint8_t> jpeg;
    ASSERT_TRUE(encodeBackgroundJpeg(image, jpeg));
    EXPECT_EQ(std::string(jpeg.begin(), jpeg.begin() + 2), "\xFF\xD8");  // a JPEG, as its name says

    RgbaImage back;
    ASSERT_EQ(decodeStillPicture(jpeg.data(), jpeg.size(), back), PictureOutcome::Decoded);
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 32);
    const auto* blue = at(back, 8, 16);
    EXPECT_NEAR(blue[2], 220, 10);
    EXPECT_NEAR(blue[0], 20, 10);
    const auto* under = at(back, 56, 16);
    EXPECT_NEAR(under[0], 30, 10);
    EXPECT_NEAR(under[2], 30, 10);
    EXPECT_FALSE(encodeBackgroundJpeg(RgbaImage{}, jpeg));
}
