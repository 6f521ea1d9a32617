// WebP through libwebp (libwebpdemux for animated files) and AVIF through
// libavif. Both decode straight into the caller's RGBA buffer.
#include "platform/image_codecs.h"

#include <avif/avif.h>
#include <webp/decode.h>
#include <webp/demux.h>

#include <climits>
#include <cstring>
#include <memory>

namespace ludexa {

namespace {

struct AvifDecoderDeleter {
    void operator()(avifDecoder* d) const noexcept { avifDecoderDestroy(d); }
};
using AvifDecoderPtr = std::unique_ptr<avifDecoder, AvifDecoderDeleter>;

struct WebPAnimDecoderDeleter {
    void operator()(WebPAnimDecoder* d) const noexcept { WebPAnimDecoderDelete(d); }
};
using WebPAnimDecoderPtr = std::unique_ptr<WebPAnimDecoder, WebPAnimDecoderDeleter>;

bool startsWith(const std::uint8_t* bytes, std::size_t size, std::size_t offset, const char* tag) {
    const std::size_t n = std::strlen(tag);
    return size >= offset + n && std::memcmp(bytes + offset, tag, n) == 0;
}

// Recognised by content, as a system imaging component would: a WebP file is
// a RIFF container of type WEBP, an AVIF file an ISO media file whose first
// box is "ftyp".
bool isWebp(const std::uint8_t* bytes, std::size_t size) {
    return startsWith(bytes, size, 0, "RIFF") && startsWith(bytes, size, 8, "WEBP");
}
bool isAvif(const std::uint8_t* bytes, std::size_t size) { return startsWith(bytes, size, 4, "ftyp"); }

// Parses the AVIF container and the first image's properties; no pixels yet.
// `pixelLimit` (0: libavif's own) bounds the container's size and every
// frame the AV1 decoder is asked to make.
AvifDecoderPtr parseAvif(const std::uint8_t* bytes, std::size_t size, std::uint32_t pixelLimit = 0) {
    AvifDecoderPtr decoder(avifDecoderCreate());
    if (!decoder) return nullptr;
    if (pixelLimit != 0) decoder->imageSizeLimit = pixelLimit;
    // Files from older encoders often miss properties that strict parsing
    // demands; a viewer shows them anyway.
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    if (avifDecoderSetIOMemory(decoder.get(), bytes, size) != AVIF_RESULT_OK) return nullptr;
    if (avifDecoderParse(decoder.get()) != AVIF_RESULT_OK || !decoder->image) return nullptr;
    return decoder;
}

std::size_t rgbaBytes(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// The first frame of an animated WebP, composed on its canvas.
bool decodeAnimatedWebp(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return false;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData data{bytes, size};
    WebPAnimDecoderPtr decoder(WebPAnimDecoderNew(&data, &options));
    if (!decoder) return false;
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info) || info.canvas_width == 0 || info.canvas_height == 0)
        return false;
    std::uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp) || !frame) return false;
    RgbaImage image;
    image.width = static_cast<int>(info.canvas_width);
    image.height = static_cast<int>(info.canvas_height);
    image.pixels.assign(frame, frame + rgbaBytes(image.width, image.height));
    out = std::move(image);
    return true;
}

}  // namespace

bool decodeWebp(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept {
    try {
        if (!bytes || size == 0) return false;
        WebPBitstreamFeatures features;
        if (WebPGetFeatures(bytes, size, &features) != VP8_STATUS_OK) return false;
        if (features.has_animation) return decodeAnimatedWebp(bytes, size, out);
        if (features.width <= 0 || features.height <= 0) return false;
        RgbaImage image;
        image.width = features.width;
        image.height = features.height;
        image.pixels.resize(rgbaBytes(image.width, image.height));
        if (!WebPDecodeRGBAInto(bytes, size, image.pixels.data(), image.pixels.size(), image.width * 4))
            return false;
        out = std::move(image);
        return true;
    } catch (...) {
        return false;
    }
}

bool decodeAvif(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept {
    try {
        if (!bytes || size == 0) return false;
        AvifDecoderPtr decoder = parseAvif(bytes, size, kMaxDecodedPixels);
        if (!decoder) return false;
        if (avifDecoderNextImage(decoder.get()) != AVIF_RESULT_OK) return false;
        const avifImage* decoded = decoder->image;
        if (!decoded || decoded->width == 0 || decoded->height == 0) return false;

        RgbaImage image;
        image.width = static_cast<int>(decoded->width);
        image.height = static_cast<int>(decoded->height);
        image.pixels.resize(rgbaBytes(image.width, image.height));
        avifRGBImage rgb;
        avifRGBImageSetDefaults(&rgb, decoded);
        rgb.format = AVIF_RGB_FORMAT_RGBA;
        rgb.depth = 8;
        // Our own buffer rather than avifRGBImageAllocatePixels: libavif
        // aborts the process when its allocation fails.
        rgb.pixels = image.pixels.data();
        rgb.rowBytes = static_cast<std::uint32_t>(image.width) * 4;
        if (avifImageYUVToRGB(decoded, &rgb) != AVIF_RESULT_OK) return false;
        out = std::move(image);
        return true;
    } catch (...) {
        return false;
    }
}

bool isCodecPicture(const std::uint8_t* bytes, std::size_t size) noexcept {
    return bytes && (isWebp(bytes, size) || isAvif(bytes, size));
}

bool readCodecPictureSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height,
                          int& bitDepth) noexcept {
    try {
        if (!bytes || size == 0) return false;
        if (isWebp(bytes, size)) {
            WebPBitstreamFeatures features;
            if (WebPGetFeatures(bytes, size, &features) != VP8_STATUS_OK) return false;
            width = features.width;
            height = features.height;
            bitDepth = 8;
            return true;
        }
        if (isAvif(bytes, size)) {
            const AvifDecoderPtr decoder = parseAvif(bytes, size);
            if (!decoder || decoder->image->width > INT_MAX || decoder->image->height > INT_MAX) return false;
            width = static_cast<int>(decoder->image->width);
            height = static_cast<int>(decoder->image->height);
            bitDepth = static_cast<int>(decoder->image->depth);
            return true;
        }
        return false;
    } catch (...) {
        return false;
    }
}

bool decodeCodecPicture(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept {
    if (!bytes) return false;
    if (isWebp(bytes, size)) return decodeWebp(bytes, size, out);
    if (isAvif(bytes, size)) return decodeAvif(bytes, size, out);
    return false;
}

}  // namespace ludexa
