// Icons: the jumbo-icon plausibility test, the chain that picks a new game's
// icon, PNG encoding, and the GTK loader on files, theme names and file types.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "library/icons.h"
#include "temp_dir.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

RgbaImage solid(int w, int h, std::array<std::uint8_t, 4> c) {
    RgbaImage img;
    img.width = w, img.height = h;
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

// A loader that answers from a table (AtMost 256, Exact 256, Exact 96) and records what was asked.
struct FakeLoader : IconLoader {
    std::map<std::string, std::array<std::optional<RgbaImage>, 3>> answers;
    std::vector<std::string> calls;

    std::optional<RgbaImage> load(const IconSource& s, int size, IconFit fit) override {
        calls.push_back(s.value + (fit == IconFit::Exact ? " exact " : " atmost ") + std::to_string(size));
        const auto it = answers.find(s.value);
        const int slot = fit == IconFit::AtMost ? (size == 256 ? 0 : -1) : size == 256 ? 1 : size == 96 ? 2 : -1;
        if (it == answers.end() || slot < 0) return std::nullopt;
        return it->second[static_cast<std::size_t>(slot)];
    }
};

IconSource file(const std::string& v) { return {IconSource::Kind::ImageFile, v}; }

struct TempDir : test::ScopedTempDir {
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::ofstream(file(name), std::ios::binary) << std::string(bytes.begin(), bytes.end());
        return file(name);
    }
};

}  // namespace

TEST(JumboIcon, AcceptsArtAndRejectsSmallIconsOnAPlainSquare) {
    const std::array<std::uint8_t, 4> paper{200, 180, 150, 255}, ink{20, 20, 120, 255};
    auto on = [](std::array<std::uint8_t, 4> bg, std::vector<std::pair<std::array<int, 4>, std::array<std::uint8_t, 4>>> parts) {
        auto img = solid(256, 256, bg);
        for (const auto& [r, c] : parts) fill(img, r[0], r[1], r[2], r[3], c);
        return img;
    };
    const struct { const char* what; RgbaImage img; bool real; } cases[] = {
        {"32 px icon in a corner of black", on(kBlack, {{{0, 0, 32, 32}, kRed}}), false},
        {"content spans 149 px", on(kBlack, {{{0, 0, 150, 10}, kRed}}), false},
        {"content spans 150 px across", on(kBlack, {{{0, 0, 151, 10}, kRed}}), true},
        {"content spans 150 px down", on(kBlack, {{{40, 20, 3, 151}, kRed}}), true},
        // Every pixel is within 30 of the corners' average: only the corners decide.
        {"corners differ by 40", on(kBlack, {{{255, 255, 1, 1}, {40, 0, 0, 255}}}), true},
        {"corners differ by 30", on(kBlack, {{{255, 255, 1, 1}, {30, 0, 0, 255}}}), false},
        {"edge-to-edge art",
         on({10, 120, 200, 255}, {{{128, 0, 128, 128}, {250, 200, 20, 255}}, {{0, 128, 128, 128}, {20, 160, 40, 255}}}),
         true},
        {"content over 150 px on paper", on(paper, {{{40, 60, 170, 100}, ink}}), true},
        {"small content on paper", on(paper, {{{100, 100, 60, 60}, ink}}), false},
        {"content within 30 of paper", on(paper, {{{0, 0, 200, 200}, {230, 210, 180, 255}}}), false},
        {"top-left is no background sample", on(paper, {{{0, 0, 1, 1}, kBlack}}), false},
        {"not 256 x 256", solid(256, 255, kRed), false},  // only a full 256 x 256 buffer is judged
        {"empty", RgbaImage{}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(isRealJumboIcon(c.img), c.real) << c.what;
}

TEST(JumboIcon, RenderingOnBlackBlendsByAlphaFromTheTopLeft) {
    auto icon = solid(2, 1, {255, 255, 255, 128});
    fill(icon, 1, 0, 1, 1, {255, 0, 0, 0});  // fully transparent red disappears
    const auto out = renderOnBlack(icon, 4);
    ASSERT_EQ(out.pixels.size(), 4u * 4 * 4);
    EXPECT_EQ(at(out, 0, 0), (std::array<std::uint8_t, 4>{128, 128, 128, 255}));
    EXPECT_EQ(at(out, 1, 0), kBlack);
    EXPECT_EQ(at(out, 3, 3), kBlack);
    const auto cut = renderOnBlack(solid(300, 300, kRed), 256);  // larger: cut, not scaled
    ASSERT_EQ(std::make_pair(cut.width, cut.height), std::make_pair(256, 256));
    EXPECT_EQ(at(cut, 255, 255), kRed);
}

TEST(NewGameIcon, JumboWhenGenuineElseNinetySixElseTheNextSource) {
    auto genuine = solid(256, 256, {10, 120, 200, 255});
    fill(genuine, 128, 128, 128, 128, {250, 200, 20, 255});  // differing corners
    auto wideArt = solid(256, 200, {10, 120, 200, 255});
    fill(wideArt, 0, 100, 256, 100, {250, 200, 20, 255});
    const auto tiny = solid(32, 32, kRed);
    FakeLoader loader;
    loader.answers["big"] = {genuine, std::nullopt, std::nullopt};
    loader.answers["small"] = {tiny, std::nullopt, solid(96, 96, kRed)};
    loader.answers["nothing96"] = {tiny, std::nullopt, std::nullopt};
    loader.answers["wide"] = {wideArt, solid(256, 256, kRed), std::nullopt};  // genuine but not square
    const auto size = [&](std::vector<IconSource> sources) {
        loader.calls.clear();
        const auto got = iconForNewGame(loader, sources);
        return got ? std::to_string(got->width) + "x" + std::to_string(got->height) : "none";
    };
    EXPECT_EQ(size({file("big")}), "256x256");
    EXPECT_EQ(loader.calls, (std::vector<std::string>{"big atmost 256"}));
    EXPECT_EQ(size({file("small")}), "96x96");
    EXPECT_EQ(loader.calls, (std::vector<std::string>{"small atmost 256", "small exact 96"}));
    EXPECT_EQ(size({file("wide")}), "256x256");
    EXPECT_EQ(loader.calls.back(), "wide exact 256");
    EXPECT_EQ(size({file("missing"), file("small")}), "96x96");  // a source with nothing hands over
    EXPECT_EQ(size({file("missing")}), "none");
    EXPECT_EQ(size({}), "none");
    EXPECT_EQ(size({file("nothing96")}), "none");
}

TEST(NewGameIcon, PngBytesDecodeToTheSamePixels) {
    auto img = solid(7, 5, {1, 2, 3, 4});
    fill(img, 2, 1, 3, 2, {250, 128, 0, 255});
    const auto png = encodePng(img);
    sf::Image decoded;
    ASSERT_TRUE(decoded.loadFromMemory(png.data(), png.size()));
    ASSERT_EQ(decoded.getSize(), sf::Vector2u(7, 5));
    EXPECT_TRUE(std::equal(img.pixels.begin(), img.pixels.end(), decoded.getPixelsPtr()));
    EXPECT_TRUE(encodePng(RgbaImage{}).empty());
    img.pixels.pop_back();
    EXPECT_TRUE(encodePng(img).empty());
}

TEST(IconLoading, PictureFilesShrinkToFitGrowOnlyWhenExactAndJunkGivesNothing) {
    TempDir dir;
    const auto wide = dir.write("wide.png", encodePng(solid(300, 150, kRed)));
    const auto small = dir.write("small.png", encodePng(solid(48, 48, kRed)));
    auto loader = makeIconLoader();
    auto got = loader->load(file(wide), 256, IconFit::AtMost);
    ASSERT_TRUE(got);
    EXPECT_EQ(std::make_pair(got->width, got->height), std::make_pair(256, 128));
    EXPECT_EQ(loader->load(file(small), 256, IconFit::AtMost)->width, 48);  // never enlarged
    got = loader->load(file(wide), 96, IconFit::Exact);
    ASSERT_TRUE(got);
    ASSERT_EQ(std::make_pair(got->width, got->height), std::make_pair(96, 96));
    EXPECT_EQ(at(*got, 48, 5)[3], 0);    // transparent band above the picture
    EXPECT_EQ(at(*got, 48, 48)[3], 255);  // the picture, centred

    // Files that are not small pictures give nothing.
    EXPECT_TRUE(loader->load(file(dir.write("banner.png", encodePng(solid(8000, 2, kRed)))), 256, IconFit::AtMost));
    ASSERT_EQ(::mkfifo(dir.file("pipe.png").c_str(), 0600), 0);  // no wait for a writer
    // strip.png is valid but wider than any icon: refused from its header alone.
    for (const auto& p : {dir.write("strip.png", encodePng(solid(9000, 2, kRed))), dir.write("text.png", {'h', 'i'}),
                          dir.write("empty.png", {}), dir.file("missing.png"), std::string("C:\\Games\\foo.ico"),
                          dir.file("pipe.png"), std::string("/dev/zero"), dir.file("")})
        EXPECT_FALSE(loader->load(file(p), 256, IconFit::AtMost)) << p;
}

TEST(IconLoading, ThemeNamesAndFileTypes) {
    auto loader = makeIconLoader();
    EXPECT_EQ(loader->load({IconSource::Kind::ThemeName, "application-x-executable"}, 96, IconFit::Exact)->width, 96);
    EXPECT_FALSE(loader->load({IconSource::Kind::ThemeName, "no-such-icon-ludexa"}, 96, IconFit::Exact));
    EXPECT_FALSE(loader->load({IconSource::Kind::ThemeName, "../Adwaita/256x256/x"}, 96, IconFit::Exact));
    // A Windows program that does not exist here still has its type's icon.
    const IconSource exe{IconSource::Kind::FileType, "C:\\Games\\Foo\\foo.exe"};
    EXPECT_TRUE(loader->load(exe, 256, IconFit::AtMost));
    // Programs of one type share one cache entry; another type does not.
    EXPECT_EQ(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::FileType, "D:\\bar.exe"}));
    EXPECT_NE(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::FileType, "/tmp/readme.txt"}));
    EXPECT_NE(loader->cacheKey(exe), loader->cacheKey({IconSource::Kind::ImageFile, "C:\\Games\\Foo\\foo.exe"}));
}
