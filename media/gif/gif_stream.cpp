// The frame-by-frame GIF stream. stb_image keeps its GIF frame decoder
// internal, so its implementation is compiled here, private to this file, and
// the stream drives stbi__gif_load_next directly.
#include "media/gif/gif_stream.h"

#include <cstdlib>
#include <cstring>

// Only the GIF decoder, and only for this file: SFML carries its own copy of
// stb_image for every other format.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
// The player refuses canvases wider or taller than this anyway; refusing them
// in the header keeps a tiny hostile file from making the decoder allocate and
// clear gigabytes before the size can be checked.
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

struct GifStream {
    stbi__context reader;
    stbi__gif gif;            // about 35 KB, hence the heap-allocated handle
    stbi_uc* data;            // the stream's own copy of the file
    std::int32_t dataLength;
    std::int32_t channels;    // written by the decoder, not used
    std::int32_t readPos;     // how far the reader has consumed `data`
    std::int32_t overrun;     // the decoder asked for bytes past the end
    std::int32_t finished;    // the last call returned null
    std::int32_t sizeKnown;   // a frame has been decoded since the last rewind
};

namespace {

// The reader pulls from `data` through stb's callback interface rather than
// its memory reader: past the end of a memory buffer stb silently reads
// zeros, so a cut-off frame would come out as a frame. Through callbacks the
// stream sees every request beyond the end and can refuse that frame.
int readBytes(void* user, char* out, int size) {
    auto* s = static_cast<GifStream*>(user);
    const std::int32_t remaining = s->dataLength - s->readPos;
    if (size <= 0) return 0;
    if (remaining <= 0) {
        s->overrun = 1;
        return 0;
    }
    const std::int32_t n = size < remaining ? size : remaining;
    std::memcpy(out, s->data + s->readPos, static_cast<std::size_t>(n));
    s->readPos += n;
    return n;
}

void skipBytes(void* user, int n) {
    auto* s = static_cast<GifStream*>(user);
    if (n <= 0) return;
    const std::int32_t remaining = s->dataLength - s->readPos;
    if (n > remaining) {
        s->overrun = 1;
        s->readPos = s->dataLength;
    } else {
        s->readPos += n;
    }
}

int atEnd(void* user) {
    const auto* s = static_cast<const GifStream*>(user);
    return s->readPos >= s->dataLength ? 1 : 0;
}

void startReader(GifStream* s) {
    stbi_io_callbacks callbacks{readBytes, skipBytes, atEnd};
    s->readPos = 0;
    s->overrun = 0;
    stbi__start_callbacks(&s->reader, &callbacks, s);
}

void freeCanvas(GifStream* s) {
    std::free(s->gif.out);
    std::free(s->gif.background);
    std::free(s->gif.history);
    s->gif.out = nullptr;
    s->gif.background = nullptr;
    s->gif.history = nullptr;
}

}  // namespace

GifStream* stbi_gif_stream_create(const std::uint8_t* bytes, std::int32_t length) {
    if (length < 0 || (length > 0 && bytes == nullptr)) return nullptr;
    auto* s = static_cast<GifStream*>(std::calloc(1, sizeof(GifStream)));
    if (!s) return nullptr;
    s->data = static_cast<stbi_uc*>(std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1));
    if (!s->data) {
        std::free(s);
        return nullptr;
    }
    if (length > 0) std::memcpy(s->data, bytes, static_cast<std::size_t>(length));
    s->dataLength = length;
    startReader(s);
    return s;
}

std::uint8_t* stbi_gif_stream_next(GifStream* s, std::int32_t* delayMs) {
    if (!s || s->finished) return nullptr;
    s->overrun = 0;
    // For "restore to previous" disposal the decoder needs the canvas as it
    // was before the last frame was drawn. That is exactly what it keeps in
    // its background buffer until the next frame starts, so no copy of the
    // previous frame is needed (a copy of the last returned frame would be the
    // wrong picture: it still shows the frame that is to be undone).
    stbi_uc* beforeLastFrame = s->gif.out ? s->gif.background : nullptr;
    stbi_uc* frame = stbi__gif_load_next(&s->reader, &s->gif, &s->channels, 4, beforeLastFrame);
    if (frame == reinterpret_cast<stbi_uc*>(&s->reader) || frame == nullptr || s->overrun) {
        // End marker, decoding error, or a frame completed with invented
        // zeros. The decoder's state is not trusted after any of them.
        s->finished = 1;
        return nullptr;
    }
    s->sizeKnown = 1;
    if (delayMs) *delayMs = s->gif.delay;
    return frame;
}

void stbi_gif_stream_size(const GifStream* s, std::int32_t* width, std::int32_t* height) {
    const bool known = s && s->sizeKnown;
    if (width) *width = known ? s->gif.w : 0;
    if (height) *height = known ? s->gif.h : 0;
}

void stbi_gif_stream_rewind(GifStream* s) {
    if (!s) return;
    freeCanvas(s);
    std::memset(&s->gif, 0, sizeof s->gif);
    s->finished = 0;
    s->sizeKnown = 0;
    startReader(s);
}

void stbi_gif_stream_free(GifStream* s) {
    if (!s) return;
    freeCanvas(s);
    std::free(s->data);
    std::free(s);
}
