// The custom background picture: the chosen file is decoded, scaled to what a
// screen can show and kept as ui.jpg beside the executable, where the next
// start finds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/picture_decode.h"
#include "media/picture_scale.h"
#include "platform/image_codecs.h"

namespace ludexa {

// The size a width x height background is scaled down to: just large enough
// to cover a screenWidth x screenHeight window, as it is drawn; its own size
// when it is no larger.
PictureSize backgroundSizeFor(int width, int height, int screenWidth, int screenHeight);

// The picture as JPEG bytes (quality 90). JPEG holds no transparency:
// transparent parts are laid over the window's dark background colour.
[[nodiscard]] bool encodeBackgroundJpeg(const RgbaImage& image, std::vector<std::uint8_t>& out) noexcept;

// A background made ready off the main thread: decoded, scaled down to cover
// the screen and, when asked, encoded as the JPEG kept as ui.jpg.
struct BackgroundPicture {
    PictureOutcome outcome = PictureOutcome::Failed;
    PictureHeader claimed;           // the size the file claims, when read
    RgbaImage image;                 // when decoded
    std::vector<std::uint8_t> jpeg;  // when asked for and encoded
};
BackgroundPicture prepareBackgroundPicture(const std::string& path, int screenWidth, int screenHeight,
                                           bool encodeJpeg) noexcept;

}  // namespace ludexa
