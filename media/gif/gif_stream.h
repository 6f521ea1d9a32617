// A GIF decoded one frame at a time over stb_image's own GIF frame decoder.
// The stream keeps a private copy of the file and one canvas, whatever the
// frame count, so long animations cost no more memory than short ones.
// These functions take no lock: a handle is used by one thread at a time.
// GifAnimation reaches them through the guarded wrappers of
// platform/fault_guard.h, never directly.
#pragma once

#include <cstdint>

struct GifStream;

// Copies `length` bytes; nothing is parsed yet. Null when `length` is
// negative or an allocation fails.
GifStream* stbi_gif_stream_create(const std::uint8_t* bytes, std::int32_t length);

// Decodes the next frame and returns the RGBA canvas (width × height × 4
// bytes, top row first), valid until the next call on the handle. Null for a
// null handle, at the end of the animation, on a decoding error and for a
// frame whose data is cut off by the end of the file; after a null, every
// further call is null until a rewind. On success `delayMs` (when not null)
// receives the frame's delay in milliseconds, which can be 0; on null it is
// left untouched.
std::uint8_t* stbi_gif_stream_next(GifStream* stream, std::int32_t* delayMs);

// The canvas size, 0 × 0 until a frame has been decoded (and for a null
// handle). Null outputs are skipped.
void stbi_gif_stream_size(const GifStream* stream, std::int32_t* width, std::int32_t* height);

// Back to the start: the next frame decoded is frame 1. Null: nothing.
void stbi_gif_stream_rewind(GifStream* stream);

// Frees the handle and everything it holds. Null: nothing.
void stbi_gif_stream_free(GifStream* stream);
