// The picture loader: decoder choice, decoding (and junk), the picture-area
// fit, and the launcher's request / publish / pick-up cycle with its generations.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <thread>

#include "app/GameLauncher.h"
#include "media/loader.h"
#include "tests/unit/gif_fixtures.h"
#include "tests/unit/temp_dir.h"

using namespace ludexa;
using namespace gif_fixtures;

namespace {

using TempFolder = test::ScopedTempDir;

std::string writePng(const std::string& path, unsigned w, unsigned h, sf::Color c) {
    sf::Image image;
    image.create(w, h, c);
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

// A file of the corpus copied under another name. The pictures of
// picture_header are 3 x 2, one colour each.
std::string copyFixture(const std::string& corpusPath, const std::string& path) {
    std::filesystem::copy_file(test::testDataPath("corpus/" + corpusPath), path);
    return path;
}

std::string writeNoise(const std::string& path, std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    writeFile(path, bytes);
    return path;
}

::testing::AssertionResult near(const RgbaImage& image, int x, int y, sf::Color c, int tolerance = 0) {
    const auto* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    const int want[4] = {c.r, c.g, c.b, c.a};
    for (int i = 0; i < 4; ++i)
        if (std::abs(p[i] - want[i]) > tolerance) return ::testing::AssertionFailure() << "channel " << i << ": " << int(p[i]);
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(LoaderRules, DecoderChosenByTheExactEnding) {
    using enum PictureDecoder;
    const std::pair<const char*, PictureDecoder> cases[] = {
        {"/m/a.gif", Animation},      {".gif", Animation},          {"/m/A.GIF", General},  // capitals: frame 1 only
        {"/m/a.webp", PlatformCodec}, {"/m/a.WEBP", PlatformCodec}, {"/m/a.Webp", General},
        {"/m/a.avif", PlatformCodec}, {"/m/a.AVIF", PlatformCodec}, {"/m/a.aViF", General},
        {"/m/a.png", General},        {"/m.gif/a.jpg", General},    {"gif", General},
    };
    for (const auto& [path, decoder] : cases) EXPECT_EQ(chooseDecoder(path), decoder) << path;
}

TEST(LoaderRules, PictureAreaFitsTheColumnWidth) {  // width, height, column, room
    EXPECT_FLOAT_EQ(fitPictureHeight(100, 1000, 300, 600), 496);  // 3000, capped at 600 - 104
    EXPECT_FLOAT_EQ(fitPictureHeight(200, 101, 200, 600), 101);
    EXPECT_FLOAT_EQ(fitPictureHeight(100, 1000, 300, 150), 100);  // no room: the minimum wins
    EXPECT_FLOAT_EQ(fitPictureHeight(0, 10, 300, 600), 100);
}

TEST(LoaderDecode, PicturesAndGifsDecodeAndJunkDoesNot) {
    TempFolder dir;
    const struct { std::string path; int w, h; sf::Color colour; int tolerance; } stills[] = {
        {copyFixture("picture_header/small.png", dir.file("红.png")), 3, 2, sf::Color::Red, 0},
        {copyFixture("picture_header/small.webp", dir.file("y.webp")), 3, 2, sf::Color(253, 255, 0), 0},
        {copyFixture("picture_header/small.avif", dir.file("r.avif")), 3, 2, sf::Color::Red, 8},  // stored as YUV
    };
    DecodedPicture p;
    for (const auto& s : stills) {
        ASSERT_EQ(decodePicture(s.path, p), PictureOutcome::Decoded) << s.path;
        EXPECT_FALSE(p.isGif);
        EXPECT_EQ(std::make_pair(p.image.width, p.image.height), std::make_pair(s.w, s.h)) << s.path;
        EXPECT_TRUE(near(p.image, s.w - 1, s.h - 1, s.colour, s.tolerance)) << s.path;
    }
    // ".gif" plays; a capitalised ".GIF" is a still picture of its first frame.
    copyFixture("gif_stream/three_frames.gif", dir.file("a.gif"));
    copyFixture("gif_stream/three_frames.gif", dir.file("A.GIF"));
    ASSERT_EQ(decodePicture(dir.file("a.gif"), p), PictureOutcome::Decoded);
    EXPECT_TRUE(p.isGif && p.gif.isAnimated && p.image.empty());
    ASSERT_EQ(decodePicture(dir.file("A.GIF"), p), PictureOutcome::Decoded);
    EXPECT_FALSE(p.isGif);
    EXPECT_TRUE(near(p.image, 3, 3, sf::Color::Red));
    // A WebP named with one capital goes to the general decoder, which cannot read WebP.
    for (const auto& path : {writeNoise(dir.file("noise.gif"), 3000), writeNoise(dir.file("noise.webp"), 3000),
                             writeNoise(dir.file("noise.avif"), 3000), writeNoise(dir.file("empty.webp"), 0),
                             writeNoise(dir.file("empty.avif"), 0),
                             copyFixture("picture_header/small.webp", dir.file("a.Webp")), dir.file("missing.avif")}) {
        DecodedPicture junk;
        EXPECT_EQ(decodePicture(path, junk), PictureOutcome::Failed) << path;
    }
}

namespace {

// Takes results as the main loop does, until one arrives or the time is up.
std::optional<LoadedPicture> awaitResult(PictureLoader& loader, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (auto taken = loader.take()) return taken;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

}  // namespace

TEST(PictureLoaderThread, OnlyTheNewestRequestIsEverShown) {
    TempFolder dir;
    PictureLoader loader;
    loader.start();
    std::vector<std::string> files;
    for (auto c : {sf::Color::Red, sf::Color::Green, sf::Color::Blue, sf::Color::Magenta})
        files.push_back(writePng(dir.file(std::to_string(files.size()) + ".png"), 900, 900, c));
    const auto big = writePng(dir.file("big.png"), 2000, 2000, sf::Color::Red);
    for (int round = 0; round < 5; ++round) {
        for (const auto& file : files) {
            loader.request(file);
            std::this_thread::sleep_for(std::chrono::microseconds(round * 300));
        }
        // The first result taken after the requests is the last one, and none follows.
        const auto taken = awaitResult(loader);
        ASSERT_TRUE(taken) << "round " << round;
        EXPECT_TRUE(near(taken->image, 0, 0, sf::Color::Magenta)) << "round " << round;
        EXPECT_FALSE(awaitResult(loader, 100)) << "round " << round;
        // Cancelled while still decoding (a game without pictures): it never arrives.
        loader.request(big);
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 5));
        loader.cancel();
        EXPECT_FALSE(awaitResult(loader, 300)) << "round " << round;
    }
}

TEST(PictureLoaderThread, WidePicturesArriveScaledAndFailuresSaySo) {
    TempFolder dir;
    PictureLoader loader;
    loader.setMaxWidth(300);
    loader.start();
    loader.request(writePng(dir.file("huge.png"), 1200, 600, sf::Color::Cyan));
    auto taken = awaitResult(loader);
    ASSERT_TRUE(taken && taken->isImage);
    EXPECT_EQ(std::make_pair(taken->image.width, taken->image.height), std::make_pair(300, 150));
    EXPECT_TRUE(near(taken->image, 0, 0, sf::Color::Cyan));
    loader.request(writeNoise(dir.file("noise.png"), 500));
    taken = awaitResult(loader);
    ASSERT_TRUE(taken);
    EXPECT_FALSE(taken->isImage || taken->isGif);
    EXPECT_EQ(taken->problem, "无法显示此图片");
}

TEST(PictureLoaderThread, StopsWhileDecodingAndStartsAgain) {
    TempFolder dir;
    PictureLoader loader;
    loader.start();
    loader.request(writePng(dir.file("big.png"), 3000, 3000, sf::Color::Red));
    const auto stopping = std::chrono::steady_clock::now();
    loader.stop();  // leaves the decode behind
    // Generous: on a loaded machine the loader thread may wait long for a core.
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(2000));
    EXPECT_FALSE(loader.running());
    loader.start();
    loader.request(dir.file("big.png"));
    EXPECT_TRUE(awaitResult(loader, 60000));
}

// The launcher's side: a real window, the loader thread, textures.
class LauncherLoaderOnDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { launcher = std::getenv("DISPLAY") ? new GameLauncher() : nullptr; }
    static void TearDownTestSuite() { delete launcher, launcher = nullptr; }
    void SetUp() override {
        if (!launcher) GTEST_SKIP() << "needs an X display";
        auto& l = *launcher;
        l.pictureLoader.start();
        l.clearPreview();
        l.checkLoadComplete();
        l.windowHeight = 800, l.toolbarHeight = 44, l.leftPanelWidth = 300, l.leftTopHeight = 400;
    }
    // Picks results up, as the main loop does every frame, until `done` or the time is up.
    static bool pumpUntil(const std::function<bool()>& done, int ms = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            launcher->checkLoadComplete();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    static bool hasPicture() { return launcher->previewTexture.getSize().x > 0; }
    static sf::Color shown() { return launcher->previewTexture.copyToImage().getPixel(0, 0); }
    static void show(const std::vector<std::string>& files, int index) {
        launcher->mapFiles = files;
        launcher->currentMapIndex = index;
        launcher->loadCurrentMap();
    }

    static GameLauncher* launcher;
    TempFolder dir;
};
GameLauncher* LauncherLoaderOnDisplay::launcher = nullptr;

TEST_F(LauncherLoaderOnDisplay, PicturesAreUploadedAndTheAreaFitted) {
    const std::vector<std::string> files = {copyFixture("gif_stream/three_frames.gif", dir.file("c.gif")),
                                            writePng(dir.file("wide.png"), 400, 100, sf::Color::Blue)};
    // A GIF whose canvas the player refuses: the area says how large it
    // claims to be instead of loading for ever.
    writeFile(dir.file("huge.gif"), {'G', 'I', 'F', '8', '9', 'a', 0x20, 0x4E, 0x20, 0x4E, 0, 0, 0});
    show({dir.file("huge.gif")}, 0);
    EXPECT_TRUE(pumpUntil([] { return launcher->previewProblem == "图片过大，无法显示\n(20000 × 20000 像素)"; }));
    EXPECT_FALSE(hasPicture());
    show(files, 0);
    EXPECT_TRUE(launcher->previewProblem.empty());  // cleared by the request
    ASSERT_TRUE(pumpUntil(hasPicture));
    // The first frame is shown at pick-up; the renderer's steps show the next.
    EXPECT_TRUE(launcher->previewIsGif && launcher->previewGif.hasFrame);
    EXPECT_EQ(shown(), sf::Color::Red);
    EXPECT_FLOAT_EQ(launcher->leftTopHeight, 300);
    launcher->previewGif.updateTexture(launcher->previewTexture);
    EXPECT_EQ(shown(), sf::Color::Green);
    show(files, 1);
    ASSERT_TRUE(pumpUntil([] { return hasPicture() && shown() == sf::Color::Blue; }));
    EXPECT_FALSE(launcher->previewIsGif);
    EXPECT_FLOAT_EQ(launcher->leftTopHeight, 100);  // 75 raised to the minimum
    EXPECT_FLOAT_EQ(launcher->settings.leftTopHeightRatio, 100.0f / 752);
    EXPECT_FLOAT_EQ(launcher->textBox.y, 44 + 4 + 100 + 4);
}
