// The GIF player: opening and probing, rejection of bad files, the frame step
// and its loop, moving between slots (the playback rule: frame_schedule_test).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "media/gif/gif_animation.h"
#include "tests/unit/gif_fixtures.h"
#include "temp_dir.h"

using namespace gif_fixtures;
using ludexa::GifAnimation;

namespace {

std::uint32_t stepColour(GifAnimation& a) {
    const std::uint8_t* frame = a.stepFrame();
    return frame ? pixel(frame, a.width, 0, 0) : 0;
}

}  // namespace

TEST(GifFiles, OpensAtFrameOneAndLoopsWithZeroDelaysAtFiftyMilliseconds) {
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(gifFixturePath("three_frames")));
    EXPECT_EQ(a.width, 4);
    EXPECT_EQ(a.height, 4);
    EXPECT_TRUE(a.isAnimated);
    EXPECT_FALSE(a.hasFrame);
    EXPECT_EQ(a.delayMs, 50);
    EXPECT_EQ(a.fileData, gifFixture("three_frames"));
    EXPECT_TRUE(a.frameDue());
    const std::uint32_t colours[] = {kRed, kGreen, kBlue};
    const int delays[] = {50, 100, 200};
    for (int step = 0; step < 7; ++step) {  // the probe left the stream at frame 1
        EXPECT_EQ(stepColour(a), colours[step % 3]) << "step " << step;
        EXPECT_EQ(a.delayMs, delays[step % 3]);
        EXPECT_TRUE(a.hasFrame);
    }
}

TEST(GifFiles, OneFrameFileIsShownOnce) {
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(gifFixturePath("one_red_pixel")));
    EXPECT_FALSE(a.isAnimated);
    EXPECT_EQ(a.delayMs, 100);
    EXPECT_TRUE(a.frameDue());
    EXPECT_EQ(stepColour(a), kRed);
    EXPECT_FALSE(a.frameDue());
}

TEST(GifFiles, CutInFrameThreeLoopsOverTheFirstTwo) {
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(gifFixturePath("cut_in_frame_three")));
    for (auto expected : {kRed, kGreen, kRed, kGreen}) EXPECT_EQ(stepColour(a), expected);
}

TEST(GifFiles, RejectsBadFilesAndIsLeftEmpty) {
    const ludexa::test::ScopedTempDir dir{"ludexa_gif"};
    const auto gif = gifFixture("three_frames");
    writeFile(dir / "empty.gif", {});
    writeFile(dir / "cut1.gif", {gif.begin(), gif.begin() + 45});  // inside frame 1's picture data
    const std::vector<std::string> bad = {
        dir / "empty.gif",
        dir / "cut1.gif",
        gifFixturePath("zero_size"),  // a 0 x 0 canvas and frame
        dir / "missing.gif",
        dir.path().string(),  // a folder
        "",
    };
    for (const auto& path : bad) {
        GifAnimation a;
        ASSERT_TRUE(a.loadFromFile(gifFixturePath("one_red_pixel")));
        EXPECT_FALSE(a.loadFromFile(path)) << path;
        // A failed load after a good one leaves nothing of either behind.
        EXPECT_EQ(a.stream, nullptr) << path;
        EXPECT_TRUE(a.fileData.empty());
        EXPECT_EQ(a.width, 0);
        EXPECT_EQ(a.delayMs, 100);
        EXPECT_EQ(a.stepFrame(), nullptr);
    }
}

TEST(GifFiles, MovingHandsOverAndEmptiesTheSource) {
    GifAnimation source;
    ASSERT_TRUE(source.loadFromFile(gifFixturePath("three_frames")));
    EXPECT_EQ(stepColour(source), kRed);
    GifAnimation target;
    ASSERT_TRUE(target.loadFromFile(gifFixturePath("one_red_pixel")));
    target = std::move(source);
    EXPECT_TRUE(target.isAnimated);
    EXPECT_TRUE(target.hasFrame);
    EXPECT_EQ(stepColour(target), kGreen);  // carries on where the source was
    EXPECT_EQ(source.stream, nullptr);
    EXPECT_TRUE(source.fileData.empty());
    EXPECT_EQ(source.stepFrame(), nullptr);
}

TEST(GifFiles, UploadsEachFrameIntoTheTexture) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display for textures";
    GifAnimation a;
    ASSERT_TRUE(a.loadFromFile(gifFixturePath("three_frames")));
    sf::Texture texture;
    for (auto expected : {sf::Color::Red, sf::Color::Green, sf::Color::Blue, sf::Color::Red}) {
        a.updateTexture(texture);
        ASSERT_EQ(texture.getSize(), sf::Vector2u(4, 4));
        EXPECT_EQ(texture.copyToImage().getPixel(3, 3), expected);
    }
    a.clear();
    a.updateTexture(texture);  // no frame: the texture keeps its content
    EXPECT_EQ(texture.copyToImage().getPixel(0, 0), sf::Color::Red);
}
