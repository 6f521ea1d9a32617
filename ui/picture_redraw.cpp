// Frames in which only the picture area's GIF advanced. Mesa's software
// renderer spends most of a frame drawing the grid, the text and the bars;
// a 10 fps GIF would pay that ten times a second for a picture that changes
// in one corner. So while a GIF plays, render() keeps each complete frame in
// a texture, and a frame due for the GIF alone is that texture with the
// picture area drawn anew on top.
#include "app/GameLauncher.h"
#include "app/frame_observer.h"
#include "ui/draw.h"
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
    if (lastFrame.getSize() != size && !lastFrame.create(size.x, size.y)) {
        lastFrameValid = false;
        return;
    }
    lastFrame.update(window);
    lastFrameValid = true;
    lastFrameGridComplete = gridComplete;
}

bool GameLauncher::pictureOnlyFrame(std::uint32_t dueReasons) const {
    // Anything drawn over the picture area (a menu, the soft keyboard) would
    // be painted over by the picture; such frames are drawn whole.
    return lastFrameValid && onlyGifAdvanced(dueReasons) && lastFrame.getSize() == window.getSize() &&
           !anyMenuOpen() && !softKeyboardVisible;
}

void GameLauncher::renderPictureOnly() {
    window.draw(sf::Sprite(lastFrame), sf::RenderStates(sf::BlendNone));
    const UiRect area = pictureArea(panels());
    {
        // The frame's left border line lies over the picture's first pixels.
        ClipScope clip(window, area.x + kSplitter, area.y, area.w - kSplitter, area.h);
        drawBackground(window);
        drawPictureArea(window);
    }
    window.display();
    if (g_frameObserver) g_frameObserver(*this, FrameReport{lastFrameGridComplete});
}

}  // namespace ludexa
