// Mouse drags as plain functions of where the press was: the splitters, the
// grid's drag scrolling and its fling. The launcher keeps the press; these
// say what the pointer's position now makes of it.
#pragma once

#include "ui/layout.h"

namespace ludexa {

// The size a splitter sets: the toolbar's height, the left column's width or
// the picture area's height.
float splitterSize(const Panels& p, Splitter which);
// That size after the splitter was dragged `delta` pixels (down or right)
// from where it was at `start`, within the splitter's clamps.
float splitterAfterDrag(const Panels& p, Splitter which, float start, float delta);

// A press in the grid turns into drag scrolling once the pointer is 30 pixels
// away from it; nearer, its release is a click.
bool gridPressBecomesDrag(float dx, float dy);
// Drag scrolling: the rows follow the pointer, within [0, maxScroll].
float gridDragScroll(float pressScroll, float dy, float maxScroll);
// The fling speed in pixels per second after the pointer moved `dy` pixels in
// `elapsedMs`; a move within the same millisecond keeps `previous`.
float flingVelocity(float previous, float dy, int elapsedMs);
// A release during drag scrolling flings the grid on when the pointer moved
// faster than this.
bool flingStarts(float velocity);

}  // namespace ludexa
