// Scrollbar thumb geometry shared by the icon grid and the text box: drawing,
// clicking and dragging all use these, so the thumb is grabbed where it is
// drawn.
#pragma once

#include <algorithm>

namespace ludexa {

// A thumb shorter than this can hardly be seen or grabbed; with 100,000 games
// a proportional thumb would be a fraction of a pixel.
inline constexpr float kMinThumbLength = 20;

struct ScrollThumb {
    float offset = 0;  // from the track's top
    float length = 0;
};

// The thumb on a track of `track` pixels showing `content` pixels scrolled by
// `scroll`: proportional, never shorter than kMinThumbLength (nor than the
// track), at the top for scroll 0 and at the bottom for the largest scroll.
inline ScrollThumb scrollThumb(float track, float content, float scroll) {
    ScrollThumb thumb;
    if (track <= 0 || content <= track) {
        thumb.length = std::max(0.0f, track);
        return thumb;
    }
    thumb.length = std::min(track, std::max(kMinThumbLength, track / content * track));
    const float maxScroll = content - track;
    thumb.offset = std::clamp(scroll, 0.0f, maxScroll) / maxScroll * (track - thumb.length);
    return thumb;
}

// The scroll offset after the thumb was dragged `delta` pixels from where it
// was at scroll `startScroll`, within [0, content - track].
inline float scrollAfterThumbDrag(float track, float content, float startScroll, float delta) {
    const float maxScroll = content - track;
    if (track <= 0 || maxScroll <= 0) return 0;
    const float span = track - scrollThumb(track, content, 0).length;
    if (span <= 0) return std::clamp(startScroll, 0.0f, maxScroll);
    return std::clamp(startScroll + delta * maxScroll / span, 0.0f, maxScroll);
}

}  // namespace ludexa
