// The background picture loader's rules, apart from its thread: which decoder
// a path goes to, the decoding itself, and how the picture area is fitted to
// a picture. GameLauncher's loader members (media/loader.cpp) use them.
#pragma once

#include <string>
#include <string_view>

#include "media/gif/gif_animation.h"
#include "media/picture_decode.h"
#include "platform/image_codecs.h"

namespace ludexa {

enum class PictureDecoder {
    General,        // JPEG, PNG, BMP, and the first frame of a GIF
    PlatformCodec,  // WebP and AVIF
    Animation,      // a GIF played frame by frame
};

// Chosen by the path's final bytes, compared exactly: ".gif" plays as an
// animation; ".webp", ".WEBP", ".avif" and ".AVIF" go to the platform codecs;
// everything else (".GIF" and ".Webp" included) to the general decoder.
PictureDecoder chooseDecoder(std::string_view path);

// What the loader hands to the main thread: an animation ready at frame 1, a
// still picture, or why there is neither.
struct DecodedPicture {
    PictureOutcome outcome = PictureOutcome::Failed;
    bool isGif = false;
    GifAnimation gif;
    RgbaImage image;
    PictureHeader claimed;  // the size a refused picture's header claims
};

// Decodes the file with the decoder its name chooses, a still picture only
// when its header passed checkPictureSize. Never throws.
PictureOutcome decodePicture(const std::string& utf8Path, DecodedPicture& out) noexcept;

// What the picture area says instead of a picture that cannot be shown:
// "无法显示此图片", or for one refused by its size "图片过大，无法显示" with
// the size it claims. Empty for a decoded picture.
std::string pictureProblemCaption(PictureOutcome outcome, const PictureHeader& claimed);

// The picture area's height for a texture, filling the column's width: the
// texture's aspect ratio times the column width, at most the available height
// less the 100-pixel minimum of the text area and the 4-pixel splitter, and
// never below 100.
float fitPictureHeight(float textureWidth, float textureHeight, float columnWidth, float availableHeight);

// A result is shown only when it was decoded for the latest request.
inline bool isCurrentResult(int resultGeneration, int loadGeneration) { return resultGeneration == loadGeneration; }

}  // namespace ludexa
