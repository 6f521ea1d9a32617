// GIF files built in code for the memory benchmark, which needs long
// animations of a real canvas size. A tiny writer whose LZW data holds only
// literal codes (with a clear code before the code table would widen), which
// every GIF decoder reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace gif_writer {

struct Rgb {
    std::uint8_t r, g, b;
};

struct Frame {
    int x = 0, y = 0, w = 1, h = 1;
    std::vector<std::uint8_t> indices;  // w × h palette indices, top row first
    int delayCs = 0;                    // hundredths of a second
    int disposal = 0;                   // 0 unspecified, 1 keep, 2 background, 3 previous
};

// A frame covering (x, y, w, h) in one colour.
inline Frame solid(int x, int y, int w, int h, std::uint8_t index, int delayCs = 0, int disposal = 0) {
    Frame f;
    f.x = x, f.y = y, f.w = w, f.h = h;
    f.indices.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), index);
    f.delayCs = delayCs;
    f.disposal = disposal;
    return f;
}

namespace detail {

inline void put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// LZW data of literal codes only: after each clear code, at most clear - 2
// literals follow, so the decoder's table never reaches the next code width.
inline std::vector<std::uint8_t> literalLzw(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    const int width = minCodeSize + 1;
    std::vector<std::uint8_t> out;
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    put(clear);
    int run = 0;
    for (auto index : indices) {
        if (run == clear - 2) {
            put(clear);
            run = 0;
        }
        put(index);
        ++run;
    }
    put(clear + 1);
    if (bits > 0) out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    return out;
}

}  // namespace detail

// A GIF89a with a global colour table (padded to a power of two) and the
// given frames, each with its own graphic control extension.
inline std::vector<std::uint8_t> makeGif(int width, int height, std::vector<Rgb> palette,
                                         const std::vector<Frame>& frames) {
    int sizeField = 0;
    while ((2u << sizeField) < palette.size() && sizeField < 7) ++sizeField;
    palette.resize(2u << sizeField, Rgb{0, 0, 0});
    const int minCodeSize = sizeField + 1 < 2 ? 2 : sizeField + 1;

    std::vector<std::uint8_t> out;
    for (char c : std::string("GIF89a")) out.push_back(static_cast<std::uint8_t>(c));
    detail::put16(out, width);
    detail::put16(out, height);
    out.push_back(static_cast<std::uint8_t>(0x80 | sizeField));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect ratio
    for (const auto& c : palette) out.insert(out.end(), {c.r, c.g, c.b});

    for (const auto& f : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(static_cast<std::uint8_t>(f.disposal << 2));
        detail::put16(out, f.delayCs);
        out.push_back(0);
        out.push_back(0);

        out.push_back(0x2C);
        detail::put16(out, f.x);
        detail::put16(out, f.y);
        detail::put16(out, f.w);
        detail::put16(out, f.h);
        out.push_back(0);

        out.push_back(static_cast<std::uint8_t>(minCodeSize));
        const auto data = detail::literalLzw(f.indices, minCodeSize);
        for (std::size_t i = 0; i < data.size(); i += 255) {
            const std::size_t n = data.size() - i < 255 ? data.size() - i : 255;
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                       data.begin() + static_cast<std::ptrdiff_t>(i + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace gif_writer
