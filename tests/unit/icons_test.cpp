// Icons: the jumbo-icon plausibility test on synthetic pictures, the chain
// that picks a new game's icon, PNG encoding, and the GTK loader on real
// files, theme names and file types (including files that are not pictures).
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "library/icons.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

RgbaImage solid(int w, int h, std::array<std::uint8_t, 4> c) {
    RgbaImage img;
    img.width = w;
    img.height = h;
    for (int i = 0; i < w * h; ++i) img.pixels.insert(img.pixels.end(), c.begin(), c.end());
    return img;
}

void fill(RgbaImage& img, int x0, int y0, int w, int h, std::array<std::uint8_t, 4> c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) std::copy(c.begin(), c.end(), img.pixels.begin() + (y * img.width + x) * 4);
}

std::array<std::uint8_t, 4> at(const RgbaImage& img, int x, int y) {
    const auto* p = img.pixels.data() + (y * img.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

constexpr std::array<std::uint8_t, 4> kBlack{0, 0, 0, 255};
constexpr std::array<std::uint8_t, 4> kRed{220, 30, 30, 255};

// A loader that answers from a table and records what was asked.
class FakeLoader : public IconLoader {
public:
    struct Answer {
        std::optional<RgbaImage> atMost256, exact256, exact96;
    };
    std::map<std::string, Answer> answers;
    std::vector<std::string> calls;

    std::optional<RgbaImage> load(const IconSource& s, int size, IconFit fit) override {
        calls.push_back(s.value + (fit == IconFit::Exact ? " exact " : " atmost ") + std::to_string(size));
        const auto it = answers.find(s.value);
        if (it == answers.end()) return std::nullopt;
        if (fit == IconFit::AtMost && size == 256) return it->second.atMost256;
        if (fit == IconFit::Exact && size == 256) return it->second.exact256;
        if (fit == IconFit::Exact && size == 96) return it->second.exact96;
        return std::nullopt;
    }
};

IconSource file(const std::string& v) { return {IconSource::Kind::ImageFile, v}; }

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("ludexa_icons_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        const auto p = (path_ / name).string();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p;
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

}  // namespace

// ---------------------------------------------------------------------------
// isRealJumboIcon

TEST(JumboIcon, SmallIconInTheCornerOfABlackSquareIsRejected) {
    auto img = solid(256, 256, kBlack);
    fill(img, 0, 0, 32, 32, kRed);
    EXPECT_FALSE(isRealJumboIcon(img));
    // Still rejected when its content spans 149 pixels, accepted at 150 (across or down).
    auto wide = solid(256, 256, kBlack);
    fill(wide, 0, 0, 150, 10, kRed);  // x from 0 to 149
    EXPECT_FALSE(isRealJumboIcon(wide));
    fill(wide, 150, 0, 1, 10, kRed);  // now to 150
    EXPECT_TRUE(isRealJumboIcon(wide));
    auto tall = solid(256, 256, kBlack);
    fill(tall, 40, 20, 3, 151, kRed);  // y from 20 to 170
    EXPECT_TRUE(isRealJumboIcon(tall));
}

TEST(JumboIcon, DifferingCornersAcceptAtOnceWithoutTheScan) {
    // Corners differ by 40 in red. The scan alone would find nothing: every
    // pixel is within 30 of the corners' average (13, 0, 0).
    auto img = solid(256, 256, kBlack);
    fill(img, 255, 255, 1, 1, {40, 0, 0, 255});
    EXPECT_TRUE(isRealJumboIcon(img));
    // A difference of exactly 30 is agreement, so the scan decides: nothing found.
    fill(img, 255, 255, 1, 1, {30, 0, 0, 255});
    EXPECT_FALSE(isRealJumboIcon(img));
    // Edge-to-edge artwork.
    auto art = solid(256, 256, {10, 120, 200, 255});
    fill(art, 128, 0, 128, 128, {250, 200, 20, 255});
    fill(art, 0, 128, 128, 128, {20, 160, 40, 255});
    EXPECT_TRUE(isRealJumboIcon(art));
}

TEST(JumboIcon, UniformBackgroundIsJudgedByTheContentsSpan) {
    const std::array<std::uint8_t, 4> paper{200, 180, 150, 255};
    auto big = solid(256, 256, paper);
    fill(big, 40, 60, 170, 100, {20, 20, 120, 255});
    EXPECT_TRUE(isRealJumboIcon(big));

    auto small = solid(256, 256, paper);
    fill(small, 100, 100, 60, 60, {20, 20, 120, 255});
    EXPECT_FALSE(isRealJumboIcon(small));

    // Content within 30 of the background is background.
    auto faint = solid(256, 256, paper);
    fill(faint, 0, 0, 200, 200, {230, 210, 180, 255});
    EXPECT_FALSE(isRealJumboIcon(faint));

    // The top-left corner is not a background sample: art there alone is a small icon.
    auto corner = solid(256, 256, paper);
    fill(corner, 0, 0, 1, 1, {0, 0, 0, 255});
    EXPECT_FALSE(isRealJumboIcon(corner));
    EXPECT_FALSE(isRealJumboIcon(solid(256, 256, paper)));
    // Only a full 256 x 256 buffer is judged.
    EXPECT_FALSE(isRealJumboIcon(solid(256, 255, kRed)));
    EXPECT_FALSE(isRealJumboIcon(RgbaImage{}));
}

TEST(JumboIcon, RenderingOnBlackBlendsByAlphaFromTheTopLeft) {
    auto icon = solid(2, 1, {255, 255, 255, 128});
    fill(icon, 1, 0, 1, 1, {255, 0, 0, 0});  // fully transparent red disappears
    const auto out = renderOnBlack(icon, 4);
    ASSERT_EQ(out.width, 4);
    EXPECT_EQ(at(out, 0, 0), (std::array<std::uint8_t, 4>{128, 128, 128, 255}));
    EXPECT_EQ(at(out, 1, 0), kBlack);
    EXPECT_EQ(at(out, 3, 3), kBlack);
    // Larger than the square: cut, not scaled.
    EXPECT_EQ(renderOnBlack(solid(300, 300, kRed), 256).width, 256);
    EXPECT_EQ(at(renderOnBlack(solid(300, 300, kRed), 256), 255, 255), kRed);
}

// ---------------------------------------------------------------------------
// The chain for a new game

TEST(NewGameIcon, JumboWhenGenuineElseNinetySixElseTheNextSource) {
    auto genuine = solid(256, 256, {10, 120, 200, 255});
    fill(genuine, 128, 128, 128, 128, {250, 200, 20, 255});
    auto tiny = solid(32, 32, kRed);
    auto fallback = solid(96, 96, kRed);

    FakeLoader loader;
    loader.answers["big"] = {genuine, std::nullopt, std::nullopt};
    loader.answers["small"] = {tiny, std::nullopt, fallback};
    loader.answers["nothing96"] = {tiny, std::nullopt, std::nullopt};

    auto got = iconForNewGame(loader, {file("big")});
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 256);
    EXPECT_EQ(loader.calls, (std::vector<std::string>{"big atmost 256"}));

    loader.calls.clear();
    got = iconForNewGame(loader, {file("small")});
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 96);
    EXPECT_EQ(loader.calls, (std::vector<std::string>{"small atmost 256", "small exact 96"}));

    // A source that gives nothing hands over to the next one.
    loader.calls.clear();
    got = iconForNewGame(loader, {file("missing"), file("small")});
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 96);

    EXPECT_FALSE(iconForNewGame(loader, {file("missing")}));
    EXPECT_FALSE(iconForNewGame(loader, {}));
    EXPECT_FALSE(iconForNewGame(loader, {file("nothing96")}));
}

TEST(NewGameIcon, GenuineButNotSquareIsTakenAtTheFullSquare) {
    auto wideArt = solid(256, 200, {10, 120, 200, 255});
    fill(wideArt, 0, 100, 256, 100, {250, 200, 20, 255});
    FakeLoader loader;
    loader.answers["wide"] = {wideArt, solid(256, 256, kRed), std::nullopt};
    const auto got = iconForNewGame(loader, {file("wide")});
    ASSERT_TRUE(got);
    EXPECT_EQ(got->height, 256);
    EXPECT_EQ(loader.calls.back(), "wide exact 256");
}

TEST(NewGameIcon, PngBytesDecodeToTheSamePixels) {
    auto img = solid(7, 5, {1, 2, 3, 4});
    fill(img, 2, 1, 3, 2, {250, 128, 0, 255});
    const auto png = encodePng(img);
    ASSERT_FALSE(png.empty());
    sf::Image decoded;
    ASSERT_TRUE(decoded.loadFromMemory(png.data(), png.size()));
    ASSERT_EQ(decoded.getSize(), sf::Vector2u(7, 5));
    EXPECT_TRUE(std::equal(img.pixels.begin(), img.pixels.end(), decoded.getPixelsPtr()));
    EXPECT_TRUE(encodePng(RgbaImage{}).empty());
    auto broken = img;
    broken.pixels.pop_back();
    EXPECT_TRUE(encodePng(broken).empty());
}

// ---------------------------------------------------------------------------
// The GTK loader

TEST(IconLoading, PictureFilesShrinkToFitAndGrowOnlyWhenExact) {
    TempDir dir;
    const auto wide = dir.write("wide.png", encodePng(solid(300, 150, kRed)));
    const auto small = dir.write("small.png", encodePng(solid(48, 48, kRed)));
    auto loader = makeIconLoader();

    auto got = loader->load(file(wide), 256, IconFit::AtMost);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 256);
    EXPECT_EQ(got->height, 128);

    got = loader->load(file(small), 256, IconFit::AtMost);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->width, 48);  // never enlarged

    got = loader->load(file(wide), 96, IconFit::Exact);
    ASSERT_TRUE(got);
    ASSERT_EQ(got->width, 96);
    ASSERT_EQ(got->height, 96);
    EXPECT_EQ(at(*got, 48, 5)[3], 0);    // transparent band above the picture
    EXPECT_EQ(at(*got, 48, 48)[3], 255);  // the picture, centred
}

TEST(IconLoading, FilesThatAreNotSmallPicturesGiveNothing) {
    TempDir dir;
    auto loader = makeIconLoader();
    // Valid, but wider than any icon: refused from its header alone, before
    // its pixels are decoded.
    EXPECT_FALSE(loader->load(file(dir.write("strip.png", encodePng(solid(9000, 2, kRed)))), 256, IconFit::AtMost));
    EXPECT_TRUE(loader->load(file(dir.write("banner.png", encodePng(solid(8000, 2, kRed)))), 256, IconFit::AtMost));
    EXPECT_FALSE(loader->load(file(dir.write("text.png", {'h', 'i', '\n'})), 256, IconFit::AtMost));
    EXPECT_FALSE(loader->load(file(dir.write("empty.png", {})), 256, IconFit::AtMost));
    EXPECT_FALSE(loader->load(file(dir.file("missing.png")), 256, IconFit::AtMost));
    EXPECT_FALSE(loader->load(file("C:\\Games\\foo.ico"), 256, IconFit::AtMost));
    ASSERT_EQ(::mkfifo(dir.file("pipe.png").c_str(), 0600), 0);
    EXPECT_FALSE(loader->load(file(dir.file("pipe.png")), 256, IconFit::AtMost));  // no wait for a writer
    EXPECT_FALSE(loader->load(file("/dev/zero"), 256, IconFit::AtMost));
    EXPECT_FALSE(loader->load(file(dir.file("")), 256, IconFit::AtMost));  // a folder
}

TEST(IconLoading, ThemeNamesAndFileTypes) {
    auto loader = makeIconLoader();
    const auto themed = loader->load({IconSource::Kind::ThemeName, "application-x-executable"}, 96, IconFit::Exact);
    ASSERT_TRUE(themed);
    EXPECT_EQ(themed->width, 96);
    EXPECT_FALSE(loader->load({IconSource::Kind::ThemeName, "no-such-icon-ludexa"}, 96, IconFit::Exact));
    EXPECT_FALSE(loader->load({IconSource::Kind::ThemeName, "../Adwaita/256x256/x"}, 96, IconFit::Exact));

    // A Windows program that does not exist here still has its type's icon.
    const IconSource exe{IconSource::Kind::FileType, "C:\\Games\\Foo\\foo.exe"};
    const auto typed = loader->load(exe, 256, IconFit::AtMost);
    ASSERT_TRUE(typed);
    EXPECT_LE(typed->width, 256);
    // Programs of one type share one cache entry; another type does not.
    EXPECT_EQ(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::FileType, "D:\\bar.exe"}));
    EXPECT_NE(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::FileType, "/tmp/readme.txt"}));
    EXPECT_NE(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::ImageFile, "C:\\Games\\Foo\\foo.exe"}));
}
