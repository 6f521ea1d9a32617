// GifAnimation: one animated GIF played frame by frame into one texture. It is
// opened and probed on the loader thread, then moved to the main thread, which
// decodes one frame whenever the shown frame's delay has run out.
#pragma once

#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Clock.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct GifStream;

namespace ludexa {

class GifAnimation {
public:
    static constexpr std::int64_t kMaxFileBytes = 536870912;  // 512 MiB
    static constexpr int kMaxSide = 8192;

    std::vector<std::uint8_t> fileData;
    GifStream* stream = nullptr;
    int width = 0;
    int height = 0;
    sf::Clock frameClock;
    int delayMs = 100;
    bool isAnimated = false;
    bool hasFrame = false;

    GifAnimation() = default;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;
    GifAnimation(GifAnimation&& other) noexcept;
    GifAnimation& operator=(GifAnimation&& other) noexcept;
    ~GifAnimation();

    [[nodiscard]] bool loadFromFile(const std::string& utf8Path);
    void clear();
    // The frame step: decodes the next frame (rewinding once at the end) and
    // uploads it. Main thread only.
    void updateTexture(sf::Texture& texture);
    // Whether the playback rule wants a frame step now.
    bool frameDue() const;
};

}  // namespace ludexa
