// The GIF crash guard: runs decoder calls so that a memory fault inside one
// (a damaged file driving the decoder out of bounds) becomes an ordinary
// failure result instead of ending the program. The guard's state is per
// thread, so the loader thread and the main thread may decode at the same
// time. Guarded calls must not nest.
//
// Memory the decoder had allocated inside a faulting call is not freed, and
// the handle is left as the fault found it: it stays valid for rewind, size
// and free.
#pragma once

#include <cstdint>

#include "media/gif/gif_stream.h"

// Runs fn(context). Returns false when a memory fault (SIGSEGV or SIGBUS) on
// this thread was contained inside it; fn then did not finish. A fault on a
// thread that is not inside a guarded call takes its normal course.
[[nodiscard]] bool gif_safe_call(void (*fn)(void*), void* context) noexcept;

// Guarded: a contained fault gives null.
GifStream* gif_safe_stream_create(const std::uint8_t* bytes, std::int32_t length) noexcept;
// Guarded: a contained fault gives null, like the end of the animation.
std::uint8_t* gif_safe_stream_next(GifStream* stream, std::int32_t* delayMs) noexcept;
// Guarded: a contained fault simply returns.
void gif_safe_stream_rewind(GifStream* stream) noexcept;
// Plain pass-through: these touch nothing a damaged file controls.
void gif_safe_stream_size(const GifStream* stream, std::int32_t* width, std::int32_t* height) noexcept;
void gif_safe_stream_free(GifStream* stream) noexcept;
