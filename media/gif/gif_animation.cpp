// The GIF player: opening and probing on the loader thread, one frame per step
// on the main thread.
#include "media/gif/gif_animation.h"

#include <algorithm>
#include <utility>

#include "platform/fault_guard.h"
#include "platform/files.h"

namespace ludexa {

bool gifFrameDue(bool isAnimated, bool hasStream, bool hasFrame, std::int64_t elapsedMs, int delayMs) {
    if (!hasFrame) return true;
    return isAnimated && hasStream && elapsedMs >= delayMs;
}

std::optional<std::int64_t> gifMicrosUntilDue(bool isAnimated, bool hasStream, bool hasFrame, std::int64_t elapsedUs,
                                              int delayMs) {
    if (!hasStream) return std::nullopt;
    if (!hasFrame) return 0;
    if (!isAnimated) return std::nullopt;
    // Due once the whole milliseconds elapsed reach the delay, as gifFrameDue counts them.
    return std::max<std::int64_t>(0, std::int64_t{delayMs} * 1000 - elapsedUs);
}

namespace {

int shownDelay(std::int32_t fileDelayMs) { return fileDelayMs < 1 ? kGifZeroDelayMs : fileDelayMs; }

bool sideInRange(int side) { return side >= 1 && side <= GifAnimation::kMaxSide; }

// The whole file, or nothing when it is not a regular file or its size is
// outside 1 byte .. 512 MiB. A file that shrank while being read is decoded as
// far as it was read.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    return readWholeRegularFile(path, static_cast<std::size_t>(GifAnimation::kMaxFileBytes), bytes) && !bytes.empty();
}

}  // namespace

GifAnimation::GifAnimation(GifAnimation&& other) noexcept { takeFrom(other); }

GifAnimation& GifAnimation::operator=(GifAnimation&& other) noexcept {
    if (this != &other) {
        clear();
        takeFrom(other);
    }
    return *this;
}

GifAnimation::~GifAnimation() { gif_safe_stream_free(stream); }

void GifAnimation::takeFrom(GifAnimation& other) noexcept {
    fileData = std::move(other.fileData);
    stream = std::exchange(other.stream, nullptr);
    width = other.width;
    height = other.height;
    delayMs = other.delayMs;
    isAnimated = other.isAnimated;
    hasFrame = other.hasFrame;
    other.clear();
}

void GifAnimation::clear() noexcept {
    gif_safe_stream_free(stream);
    stream = nullptr;
    std::vector<std::uint8_t>().swap(fileData);
    width = 0;
    height = 0;
    frameClock.restart();
    delayMs = 100;
    isAnimated = false;
    hasFrame = false;
}

bool GifAnimation::loadFromFile(const std::string& utf8Path) noexcept {
    clear();
    try {
        if (utf8Path.empty()) return false;
        std::vector<std::uint8_t> bytes;
        if (!readWholeFile(utf8Path, bytes)) return false;

        stream = gif_safe_stream_create(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        if (!stream) return false;
        std::int32_t delay = 100;
        if (!gif_safe_stream_next(stream, &delay)) {
            clear();
            return false;
        }
        std::int32_t w = 0, h = 0;
        gif_safe_stream_size(stream, &w, &h);
        if (!sideInRange(w) || !sideInRange(h)) {
            clear();
            return false;
        }
        width = w;
        height = h;
        delayMs = shownDelay(delay);
        // Whether a second frame exists is learnt on the same stream, which is
        // rewound anyway: a second stream would hold a third copy of the file
        // while the probe runs.
        isAnimated = gif_safe_stream_next(stream, nullptr) != nullptr;
        gif_safe_stream_rewind(stream);
        hasFrame = false;
        fileData = std::move(bytes);
        frameClock.restart();
        return true;
    } catch (...) {
        clear();
        return false;
    }
}

const std::uint8_t* GifAnimation::stepFrame() noexcept {
    if (!stream || width <= 0 || height <= 0) return nullptr;
    std::int32_t delay = 100;
    const std::uint8_t* frame = gif_safe_stream_next(stream, &delay);
    if (!frame) {
        // The end of the frames, a damaged frame or a contained fault: loop
        // back to frame 1.
        gif_safe_stream_rewind(stream);
        hasFrame = false;
        frame = gif_safe_stream_next(stream, &delay);
        if (!frame) return nullptr;
    }
    std::int32_t w = 0, h = 0;
    gif_safe_stream_size(stream, &w, &h);
    if (w != width || h != height) return nullptr;  // never hand out a canvas of another size
    hasFrame = true;
    delayMs = shownDelay(delay);
    frameClock.restart();
    return frame;
}

void GifAnimation::updateTexture(sf::Texture& texture) noexcept {
    const std::uint8_t* frame = stepFrame();
    if (!frame) return;
    const auto w = static_cast<unsigned>(width);
    const auto h = static_cast<unsigned>(height);
    // Same size every frame: the texture is created once and then only updated.
    if (texture.getSize() != sf::Vector2u(w, h) && !texture.create(w, h)) return;
    texture.update(frame);
}

bool GifAnimation::frameDue() const {
    return gifFrameDue(isAnimated, stream != nullptr, hasFrame,
                       frameClock.getElapsedTime().asMicroseconds() / 1000, delayMs);
}

std::optional<std::int64_t> GifAnimation::microsUntilDue() const {
    return gifMicrosUntilDue(isAnimated, stream != nullptr, hasFrame, frameClock.getElapsedTime().asMicroseconds(),
                             delayMs);
}

}  // namespace ludexa
