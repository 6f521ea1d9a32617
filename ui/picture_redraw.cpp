// Frames in which only the picture area's GIF advanced. Mesa's software
// renderer spends most of a frame drawing the grid, the text and the bars;
// a 10 fps GIF would pay that ten times a second for a picture that changes
// in one corner. So while a GIF plays, render() keeps each complete frame in
// a texture, and a frame due for the GIF alone is that texture with the
// picture area drawn anew on top. Where the GL driver can show part of the
// back buffer (Mesa can, its software renderer included), nothing is kept:
// the window still shows the last complete frame, so only the picture area
// is drawn and shown.
#include "app/GameLauncher.h"
#include "app/frame_observer.h"
#include "ui/draw.h"
#include "platform/window.h"
#include "ui/layout.h"

namespace ludexa {

void GameLauncher::keepFrameForPicture(bool gridComplete) {
    const bool gifPlaying = previewIsGif && mapVisible && !mapFiles.empty();
    if (!gifPlaying) {
        if (lastFrameValid) lastFrame = sf::Texture();  // the memory goes with the GIF
        lastFrameValid = false;
        return;
    }
    const auto size = window.getSize();
    lastFrameSize = size;
    lastFrameGridComplete = gridComplete;
    if (canPresentRegion()) {
        lastFrameValid = true;
        return;
    }
    if (lastFrame.getSize() != size && !lastFrame.create(size.x, size.y)) {
        lastFrameValid = false;
        return;
    }
    lastFrame.update(window);
    lastFrameValid = true;
}

bool GameLauncher::pictureOnlyFrame(std::uint32_t dueReasons) const {
    // Anything drawn over the picture area (a menu, the soft keyboard) would
    // be painted over by the picture; such frames are drawn whole.
    return lastFrameValid && onlyGifAdvanced(dueReasons) && lastFrameSize == window.getSize() &&
           !anyMenuOpen() && !softKeyboard.visible;
}

void GameLauncher::renderPictureOnly() {
    const bool partial = canPresentRegion();
    if (!partial) window.draw(sf::Sprite(lastFrame), sf::RenderStates(sf::BlendNone));
    const UiRect picture = pictureArea(panels());
    // The frame's left border line lies over the picture's first pixels. Whole
    // pixels: what is drawn is exactly what is shown.
    const ScreenRect area{static_cast<int>(picture.x + kSplitter), static_cast<int>(picture.y),
                          static_cast<int>(picture.w - kSplitter), static_cast<int>(picture.h)};
    {
        ClipScope clip(window, static_cast<float>(area.x), static_cast<float>(area.y),
                       static_cast<float>(area.width), static_cast<float>(area.height));
        drawBackground(window);
        drawPictureArea(window);
    }
    if (!partial || !presentRegion(area, static_cast<int>(window.getSize().y))) {
        if (partial) {
            // The copy failed: the kept texture is not there to fall back on,
            // so the next frame is drawn whole.
            lastFrameValid = false;
            requestFrame(FrameReason::Exposed);
            return;
        }
        window.display();
    }
    if (g_frameObserver) g_frameObserver(*this, FrameReport{lastFrameGridComplete});
}

}  // namespace ludexa
