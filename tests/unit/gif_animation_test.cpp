// The GIF player: opening and probing, rejection of bad files, the frame step
// and its loop, moving between slots (the playback rule: frame_schedule_test).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "media/gif/gif_animation.h"
#include "tests/unit/gif_fixtures.h"
#include "tests/unit/test_data.h"
#include "temp_dir.h"

using namespace gif_fixtures;

// One red pixel, shown for a tenth of a second.
static const std::vector<std::uint8_t> kOneRedPixel =
    ludexa::test::testDataBytes("corpus/gif_stream/one_red_pixel.gif");
using ludexa::GifAnimation;

namespace {

class GifFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        writeFile(dir_ / name, bytes);
        return dir_ / name;
    }
    const ludexa::test::ScopedTempDir dir_{"ludexa_gif"};
};

// Red, green, blue 2 × 2 frames with delays 0, 3 and 0 hundredths.
Gif rgbAnimation() {
    return makeGif(2, 2, basicPalette(), {solid(0, 0, 2, 2, 0, 0), solid(0, 0, 2, 2, 1, 3), solid(0, 0, 2, 2, 2, 0)});
}

std::uint32_t stepColour(GifAnimation& a) {
    const std::uint8_t* frame = a.stepFrame();
    return frame ? pixel(frame, a.width, 0, 0) : 0;
}

}  // namespace

TEST_F(GifFiles, OpensAtFrameOneAndLoopsWithZeroDelaysAtFiftyMilliseconds) {
    const auto gif = rgbAnimation();
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(write("three.gif", gif.bytes)));
    EXPECT_EQ(a.width, 2);
    EXPECT_EQ(a.height, 2);
    EXPECT_TRUE(a.isAnimated);
    EXPECT_FALSE(a.hasFrame);
    EXPECT_EQ(a.delayMs, 50);
    EXPECT_EQ(a.fileData, gif.bytes);
    EXPECT_TRUE(a.frameDue());
    const std::uint32_t colours[] = {kRed, kGreen, kBlue};
    const int delays[] = {50, 30, 50};
    for (int step = 0; step < 7; ++step) {  // the probe left the stream at frame 1
        EXPECT_EQ(stepColour(a), colours[step % 3]) << "step " << step;
        EXPECT_EQ(a.delayMs, delays[step % 3]);
        EXPECT_TRUE(a.hasFrame);
    }
}

TEST_F(GifFiles, OneFrameFileIsShownOnce) {
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(write("one.gif", kOneRedPixel)));
    EXPECT_FALSE(a.isAnimated);
    EXPECT_EQ(a.delayMs, 100);
    EXPECT_TRUE(a.frameDue());
    EXPECT_EQ(stepColour(a), kRed);
    EXPECT_FALSE(a.frameDue());
}

TEST_F(GifFiles, CutInFrameThreeLoopsOverTheFirstTwo) {
    const auto gif = rgbAnimation();
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(write("cut.gif", {gif.bytes.begin(), gif.bytes.begin() + static_cast<long>(gif.rasterStart[2] + 3)})));
    for (auto expected : {kRed, kGreen, kRed, kGreen}) EXPECT_EQ(stepColour(a), expected);
}

TEST_F(GifFiles, RejectsBadFilesAndIsLeftEmpty) {
    const auto gif = rgbAnimation();
    std::mt19937 random(99);
    std::vector<std::uint8_t> noise(2000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    const std::vector<std::string> bad = {
        write("empty.gif", {}),
        write("noise.gif", noise),
        write("wide.gif", makeGif(9000, 10, basicPalette(), {solid(0, 0, 1, 1, 0)}).bytes),
        write("zero.gif", makeGif(0, 0, basicPalette(), {solid(0, 0, 0, 0, 0)}).bytes),
        write("cut1.gif", {gif.bytes.begin(), gif.bytes.begin() + static_cast<long>(gif.rasterStart[0] + 2)}),
        dir_ / "missing.gif",
        dir_.path().string(),  // a folder
        "",
    };
    for (const auto& path : bad) {
        GifAnimation a;
        ASSERT_TRUE(a.loadFromFile(write("good.gif", kOneRedPixel)));
        EXPECT_FALSE(a.loadFromFile(path)) << path;
        // A failed load after a good one leaves nothing of either behind.
        EXPECT_EQ(a.stream, nullptr) << path;
        EXPECT_TRUE(a.fileData.empty());
        EXPECT_EQ(a.width, 0);
        EXPECT_EQ(a.delayMs, 100);
        EXPECT_EQ(a.stepFrame(), nullptr);
    }
}

TEST_F(GifFiles, MovingHandsOverAndEmptiesTheSource) {
    GifAnimation source;
    ASSERT_TRUE(source.loadFromFile(write("three.gif", rgbAnimation().bytes)));
    EXPECT_EQ(stepColour(source), kRed);
    GifAnimation target;
    ASSERT_TRUE(target.loadFromFile(write("one.gif", kOneRedPixel)));
    target = std::move(source);
    EXPECT_TRUE(target.isAnimated);
    EXPECT_TRUE(target.hasFrame);
    EXPECT_EQ(stepColour(target), kGreen);  // carries on where the source was
    EXPECT_EQ(source.stream, nullptr);
    EXPECT_TRUE(source.fileData.empty());
    EXPECT_EQ(source.stepFrame(), nullptr);
}

TEST_F(GifFiles, UploadsEachFrameIntoTheTexture) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display for textures";
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(write("three.gif", rgbAnimation().bytes)));
    sf::Texture texture;
    for (auto expected : {sf::Color::Red, sf::Color::Green, sf::Color::Blue, sf::Color::Red}) {
        a.updateTexture(texture);
        ASSERT_EQ(texture.getSize(), sf::Vector2u(2, 2));
        EXPECT_EQ(texture.copyToImage().getPixel(1, 1), expected);
    }
    a.clear();
    a.updateTexture(texture);  // no frame: the texture keeps its content
    EXPECT_EQ(texture.copyToImage().getPixel(0, 0), sf::Color::Red);
}
