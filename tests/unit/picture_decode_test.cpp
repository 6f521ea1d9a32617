// Picture headers read before decoding, and the bound they are checked
// against: truthful and lying headers, PNG's built byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/picture_decode.h"
#include "test_data.h"

using namespace ludexa;

namespace {

using Bytes = std::vector<std::uint8_t>;

void be16(Bytes& b, unsigned v) { b.insert(b.end(), {std::uint8_t(v >> 8), std::uint8_t(v)}); }
void be32(Bytes& b, unsigned v) { be16(b, v >> 16), be16(b, v & 0xFFFF); }

// Signature and IHDR only: the pixels a decoder would allocate for are
// nowhere in the file.
Bytes pngHeader(unsigned w, unsigned h, int depth = 8) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    be32(b, w), be32(b, h);
    b.insert(b.end(), {std::uint8_t(depth), 6 /* RGBA */, 0, 0, 0});
    be32(b, 0);  // CRC, not checked by the header reader
    return b;
}

// The pictures of the corpus are 3 x 2; its headers claiming more hold no
// pixels (the AVIF is the real one with its image size property rewritten).
Bytes corpus(const char* name) { return ludexa::test::testDataBytes(std::string("corpus/picture_header/") + name); }

}  // namespace

TEST(PictureHeader, EveryFormatIsMeasuredBeforeDecoding) {
    using enum PictureFit;
    const struct {
        const char* what;
        Bytes bytes;
        int width, height;
        PictureFit fit;
    } cases[] = {
        {"PNG 16000x16000 (249 KB on disk)", pngHeader(16000, 16000), 16000, 16000, TooLarge},
        {"PNG 8192x8192, the bound itself", pngHeader(8192, 8192), 8192, 8192, Fits},
        {"PNG 8192x8193", pngHeader(8192, 8193), 8192, 8193, TooLarge},
        {"PNG 6000x6000 at 8 bits", pngHeader(6000, 6000), 6000, 6000, Fits},
        {"PNG 6000x6000 at 16 bits: twice the bytes", pngHeader(6000, 6000, 16), 6000, 6000, TooLarge},
        {"PNG 4x16777216, one tall column at the pixel bound", pngHeader(4, 1u << 24), 4, 1 << 24, Fits},
        {"PNG 5x16777216", pngHeader(5, 1u << 24), 5, 1 << 24, TooLarge},
        {"BMP 3x2", corpus("small.bmp"), 3, 2, Fits},
        {"BMP 20000x20000 in 54 bytes", corpus("huge_header.bmp"), 20000, 20000, TooLarge},
        {"BMP 640x-480, stored top down", corpus("top_down.bmp"), 640, 480, Fits},
        {"BMP 20000x-20000, stored top down", corpus("top_down_huge.bmp"), 20000, 20000, TooLarge},
        {"JPEG 3x2", corpus("small.jpg"), 3, 2, Fits},
        {"JPEG 65535x65535", corpus("huge_65535.jpg"), 65535, 65535, TooLarge},
        {"GIF 3x2", corpus("small.gif"), 3, 2, Fits},
        {"GIF 65535x65535", corpus("huge_65535.gif"), 65535, 65535, TooLarge},
        {"WebP 3x2, lossy", corpus("small.webp"), 3, 2, Fits},
        {"WebP 16384x16384, lossless", corpus("huge_16384.webp"), 16384, 16384, TooLarge},
        {"AVIF 3x2", corpus("small.avif"), 3, 2, Fits},
        {"AVIF claiming 10000x10000", corpus("claims_10000.avif"), 10000, 10000, TooLarge},
    };
    for (const auto& c : cases) {
        const auto header = readPictureHeader(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(header) << c.what;
        EXPECT_EQ(header->width, c.width) << c.what;
        EXPECT_EQ(header->height, c.height) << c.what;
        EXPECT_EQ(checkPictureSize(*header), c.fit) << c.what;
        if (c.fit == TooLarge) {  // refused before any pixel is allocated
            RgbaImage image;
            PictureHeader claimed;
            EXPECT_EQ(decodeStillPicture(c.bytes.data(), c.bytes.size(), image, &claimed), PictureOutcome::TooLarge)
                << c.what;
            EXPECT_EQ(claimed.width, c.width) << c.what;
            EXPECT_TRUE(image.empty());
        }
    }
}

TEST(PictureHeader, NoPictureHasNoHeader) {
    const Bytes png = pngHeader(640, 480);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"PNG cut inside IHDR", Bytes(png.begin(), png.begin() + 20)},
        {"PNG of width 0", pngHeader(0, 480)},
        {"PNG of width 2^31", pngHeader(1u << 31, 1)},
        {"BMP header size 7", corpus("header_size_7.bmp")},
        {"JPEG start only", {0xFF, 0xD8}},
        // A table whose 16 code counts add up to 4080 symbols: the table
        // builder would write far past its 256 entries.
        {"JPEG Huffman table of 4080 symbols", corpus("huge_huffman_table.jpg")},
        {"the same after fill bytes", corpus("huge_huffman_table_after_fill.jpg")},
        // A scan but no Huffman table: the decoder would take uninitialised memory for one.
        {"JPEG scan naming Huffman tables never defined", corpus("undefined_huffman_tables.jpg")},
        {"GIF signature only", {'G', 'I', 'F', '8', '9', 'a'}},
        {"RIFF of another type", [] { Bytes b = corpus("small.webp"); std::memcpy(&b[8], "WAVE", 4); return b; }()},
        {"WebP without its chunk", Bytes(12, 0)},
        {"ftyp without boxes", {0, 0, 0, 16, 'f', 't', 'y', 'p', 'a', 'v', 'i', 'f', 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(readPictureHeader(c.bytes.data(), c.bytes.size())) << c.what;
        RgbaImage image;
        EXPECT_EQ(decodeStillPicture(c.bytes.data(), c.bytes.size(), image), PictureOutcome::Failed) << c.what;
    }
}
