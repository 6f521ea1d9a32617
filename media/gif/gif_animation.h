// GifAnimation: one animated GIF played frame by frame into one texture. It is
// opened and probed on the loader thread, then moved to the main thread, which
// decodes one frame whenever the shown frame's delay has run out. Every
// decoder call goes through the crash guard, so a damaged file ends as a
// failed load or a shorter loop, never as a crash.
#pragma once

#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Clock.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct GifStream;

namespace ludexa {

// Delay shown for frames whose file delay is below 1 ms.
constexpr int kGifZeroDelayMs = 50;

// The playback rule: whether a frame step is due. An animation steps when it
// has no frame yet or once the shown frame's delay has elapsed (whole
// milliseconds since its upload); a still GIF only until it has its frame.
bool gifFrameDue(bool isAnimated, bool hasStream, bool hasFrame, std::int64_t elapsedMs, int delayMs);
// When that rule will next let a step happen, in microseconds from now: 0 when
// one is due, none when no step can come by itself (no stream to decode, or a
// still GIF that already shows its frame).
std::optional<std::int64_t> gifMicrosUntilDue(bool isAnimated, bool hasStream, bool hasFrame, std::int64_t elapsedUs,
                                              int delayMs);

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
    // The target is cleared first; its frame clock keeps the restart of that
    // clear. The source is left empty.
    GifAnimation(GifAnimation&& other) noexcept;
    GifAnimation& operator=(GifAnimation&& other) noexcept;
    ~GifAnimation();

    // Reads and probes the file: true when frame 1 decodes and the canvas is
    // 1..8192 on each side; the stream then waits at frame 1 (hasFrame false).
    // Any failure, an exception included, returns false with the object cleared.
    [[nodiscard]] bool loadFromFile(const std::string& utf8Path) noexcept;
    void clear() noexcept;
    // The frame step without the upload: decodes the next frame, rewinding once
    // at the end (or after a damaged frame), and returns the RGBA canvas of
    // width × height, or null when not even frame 1 decodes now.
    const std::uint8_t* stepFrame() noexcept;
    // The frame step: stepFrame, then the frame is uploaded to the texture,
    // which keeps its content when no frame came. Main thread only.
    void updateTexture(sf::Texture& texture) noexcept;
    // gifFrameDue for this animation's state and clock.
    bool frameDue() const;
    // gifMicrosUntilDue for this animation's state and clock.
    std::optional<std::int64_t> microsUntilDue() const;

private:
    void takeFrom(GifAnimation& other) noexcept;
};

}  // namespace ludexa
