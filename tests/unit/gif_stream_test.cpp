// The frame-by-frame GIF stream: frames, delays, the end, rewinding, disposal,
// cut-off, oversized and junk input.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "media/gif/gif_stream.h"
#include "tests/unit/gif_fixtures.h"

using namespace gif_fixtures;

namespace {

struct StreamFree {
    void operator()(GifStream* s) const { stbi_gif_stream_free(s); }
};
using Stream = std::unique_ptr<GifStream, StreamFree>;

Stream open(const std::vector<std::uint8_t>& bytes) {
    return Stream(stbi_gif_stream_create(bytes.data(), static_cast<std::int32_t>(bytes.size())));
}

std::pair<int, int> sizeOf(const GifStream* s) {
    std::int32_t w = -1, h = -1;
    stbi_gif_stream_size(s, &w, &h);
    return {w, h};
}

int countFrames(GifStream* s) {
    int n = 0;
    while (stbi_gif_stream_next(s, nullptr) && n < 1000) ++n;
    return n;
}

}  // namespace

TEST(GifStream, FramesAndDelaysAgainAfterRewind) {
    auto s = open(gifFixture("three_frames"));
    const std::uint32_t colours[] = {kRed, kGreen, kBlue};
    const int delays[] = {0, 100, 200};  // a file delay of 0 stays 0 here
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(sizeOf(s.get()), std::make_pair(0, 0));  // nothing parsed yet
        for (int i = 0; i < 3; ++i) {
            std::int32_t delay = -1;
            const std::uint8_t* frame = stbi_gif_stream_next(s.get(), &delay);
            ASSERT_NE(frame, nullptr) << "pass " << pass << " frame " << i;
            EXPECT_EQ(delay, delays[i]);
            EXPECT_EQ(sizeOf(s.get()), std::make_pair(4, 4));
            EXPECT_EQ(pixel(frame, 4, 3, 3), colours[i]);
        }
        std::int32_t delay = 777;
        EXPECT_EQ(stbi_gif_stream_next(s.get(), &delay), nullptr);
        EXPECT_EQ(delay, 777);  // untouched at the end
        EXPECT_EQ(stbi_gif_stream_next(s.get(), nullptr), nullptr);
        stbi_gif_stream_rewind(s.get());
    }
}

TEST(GifStream, CutAnywhereInFrameThreeGivesTwoFrames) {
    const auto gif = gifFixture("three_frames");
    constexpr std::size_t kFrameThree = 75;  // its graphic control extension
    ASSERT_EQ(gif[kFrameThree], 0x21);
    // From frame 3's first byte up to dropping only its block terminator.
    for (std::size_t cut = kFrameThree; cut + 1 < gif.size(); ++cut) {
        auto s = open({gif.begin(), gif.begin() + static_cast<long>(cut)});
        EXPECT_EQ(countFrames(s.get()), 2) << "cut at " << cut << " of " << gif.size();
        stbi_gif_stream_rewind(s.get());
        EXPECT_EQ(countFrames(s.get()), 2) << "after rewinding, cut at " << cut;
    }
    // Without only the trailer, all three frames are whole.
    EXPECT_EQ(countFrames(open({gif.begin(), gif.end() - 1}).get()), 3);
}

TEST(GifStream, DisposalToPreviousRestoresTheCanvasBeforeTheFrame) {
    // Frame 1 paints both pixels red and stays. Frame 2 paints the left pixel
    // blue and asks to be undone. Frame 3 paints the right pixel green: the
    // left one must be red again.
    auto s = open(gifFixture("restore_previous"));
    ASSERT_NE(stbi_gif_stream_next(s.get(), nullptr), nullptr);
    const std::uint8_t* second = stbi_gif_stream_next(s.get(), nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(pixel(second, 2, 0, 0), kBlue);
    const std::uint8_t* third = stbi_gif_stream_next(s.get(), nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(pixel(third, 2, 0, 0), kRed);
    EXPECT_EQ(pixel(third, 2, 1, 0), kGreen);
}

TEST(GifStream, CanvasSideLimit) {
    // The red pixel's file claiming another canvas; its frame stays 1 x 1.
    const auto claiming = [](int w, int h) {
        auto bytes = gifFixture("one_red_pixel");
        bytes[6] = static_cast<std::uint8_t>(w & 0xFF);
        bytes[7] = static_cast<std::uint8_t>(w >> 8);
        bytes[8] = static_cast<std::uint8_t>(h & 0xFF);
        bytes[9] = static_cast<std::uint8_t>(h >> 8);
        return open(bytes);
    };
    auto widest = claiming(8192, 1);
    ASSERT_NE(stbi_gif_stream_next(widest.get(), nullptr), nullptr);
    EXPECT_EQ(sizeOf(widest.get()), std::make_pair(8192, 1));
    for (auto [w, h] : {std::pair{8193, 1}, std::pair{1, 8193}, std::pair{9000, 10}}) {
        auto s = claiming(w, h);
        EXPECT_EQ(stbi_gif_stream_next(s.get(), nullptr), nullptr) << w << " x " << h;
        EXPECT_EQ(sizeOf(s.get()), std::make_pair(0, 0));
    }
}

TEST(GifStream, JunkAndNullHandles) {
    EXPECT_EQ(stbi_gif_stream_create(nullptr, -1), nullptr);
    EXPECT_EQ(stbi_gif_stream_create(nullptr, 5), nullptr);
    EXPECT_EQ(countFrames(Stream(stbi_gif_stream_create(nullptr, 0)).get()), 0);

    std::mt19937 random(1234);
    std::vector<std::uint8_t> noise(4096);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    EXPECT_EQ(countFrames(open(noise).get()), 0);
    auto headerThenNoise = gifFixture("one_red_pixel");
    headerThenNoise.resize(19);  // signature, screen and colour table
    headerThenNoise.insert(headerThenNoise.end(), noise.begin(), noise.end());
    EXPECT_EQ(countFrames(open(headerThenNoise).get()), 0);

    std::int32_t w = 5, h = 5;
    stbi_gif_stream_size(nullptr, &w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(0, 0));
    EXPECT_EQ(stbi_gif_stream_next(nullptr, nullptr), nullptr);
    stbi_gif_stream_rewind(nullptr);
    stbi_gif_stream_free(nullptr);
}
