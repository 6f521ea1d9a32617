// Fuzzes the GIF stream as the player drives it, every call through the guard
// (AddressSanitizer sees an out-of-bounds access before it could fault).
#include <cstddef>
#include <cstdint>

#include "platform/fault_guard.h"

namespace {

// Large canvases are valid but slow every run down without reaching new code.
constexpr std::int64_t kMaxFuzzPixels = 1 << 20;
constexpr int kMaxFrames = 64;

volatile std::uint8_t g_sink;

void playThrough(GifStream* s) {
    for (int i = 0; i < kMaxFrames; ++i) {
        std::int32_t delay = -1;
        const std::uint8_t* frame = gif_safe_stream_next(s, &delay);
        if (!frame) return;
        std::int32_t w = 0, h = 0;
        gif_safe_stream_size(s, &w, &h);
        if (w < 0 || h < 0 || delay < 0) __builtin_trap();
        // A canvas without pixels is refused by the player, not the stream.
        if (w == 0 || h == 0) continue;
        // The whole canvas must be readable: touch its first and last byte.
        g_sink = static_cast<std::uint8_t>(frame[0] ^ frame[static_cast<std::size_t>(w) * h * 4 - 1]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    if (size >= 10) {
        const std::int64_t w = data[6] | (data[7] << 8);
        const std::int64_t h = data[8] | (data[9] << 8);
        if (w * h > kMaxFuzzPixels) return 0;
    }
    GifStream* s = gif_safe_stream_create(data, static_cast<std::int32_t>(size));
    if (!s) return 0;
    std::int32_t w = -1, h = -1;
    gif_safe_stream_size(s, &w, &h);
    if (w != 0 || h != 0) __builtin_trap();  // nothing is parsed before the first frame
    playThrough(s);
    gif_safe_stream_rewind(s);
    playThrough(s);
    gif_safe_stream_free(s);
    return 0;
}
