// FrameSchedule: the one place that knows why the next frame is needed. The
// main loop draws only when something that is shown changed: an event or a
// worker's result asks for a frame at once; an animation names the moment its
// next step is due. Between frames the loop waits for the nearest of those
// moments, looking at the window's events and the gamepads at least once per
// poll interval. Times are the main loop's own clock; nothing here touches
// the window, so tests drive it with made-up times.
#pragma once

#include <SFML/System/Time.hpp>

#include <array>
#include <cstdint>
#include <optional>

namespace ludexa {

enum class FrameReason : std::uint8_t {
    Shown,             // the window was just shown, or woke from sleep
    Input,             // a window event was processed (keys, mouse, resize, focus)
    Exposed,           // the window system lost part of the picture
    Resized,           // the window's size changed: drawn once more at that size
    Gamepad,           // the gamepad moved a focus, typed or acted
    PictureArrived,    // the loader thread finished a picture
    IconArrived,       // icon decoders finished icons for the grid
    SizeCounted,       // a game's size count finished
    PlayTimeArrived,   // the play watch wrote new totals (the header shows them)
    Fling,             // the grid glides after a flick
    ToolbarEasing,     // the toolbar eases to its new height
    CategoryCollapse,  // the category bar's temporary expansion ends
    CaretBlink,        // a focused text field's caret toggles
    GifFrame,          // the picture area's GIF has its next frame due
    FallingAsleep,     // the iteration that enters sleep still draws
    Count
};

inline constexpr std::size_t kFrameReasonCount = static_cast<std::size_t>(FrameReason::Count);

// Idle pace of the event and gamepad polling: one frame period of the cap, so
// input is looked at as often as frames may be drawn, but at most 100 times a
// second even with a very high cap.
inline constexpr int kShortestPollMs = 10;
sf::Time pollInterval(int framerate);

class FrameSchedule {
public:
    // A frame as soon as possible.
    void request(FrameReason why);
    // A frame at `when`; of several moments named for one reason the earliest
    // holds, so an animation can name its next step on every iteration.
    void requestAt(FrameReason why, sf::Time when);

    // Whether a frame is needed at `now`.
    bool due(sf::Time now) const;
    // The reasons due at `now`, one bit per FrameReason.
    std::uint32_t dueReasons(sf::Time now) const;
    // The nearest moment a frame is wanted, due or not; none when nothing asks.
    std::optional<sf::Time> nextDeadline() const;
    // How long the loop may wait before it must look again: nothing when a
    // frame is due, else until the nearest deadline but no longer than `poll`.
    sf::Time wait(sf::Time now, sf::Time poll) const;

    // A frame presented at `now` satisfies every reason due by then; later
    // deadlines stay.
    void drawn(sf::Time now);

private:
    std::array<std::optional<sf::Time>, kFrameReasonCount> deadlines_{};
};

// Whether the GIF's next frame is the one reason due: the rest of the window
// is then as it was in the last frame.
bool onlyGifAdvanced(std::uint32_t dueReasons);

// Time left until a step that comes `period` after the start of `elapsed`
// (a caret phase, the category bar's one second); zero once it has passed.
sf::Time timeLeft(sf::Time period, sf::Time elapsed);

}  // namespace ludexa
