// The frame schedule's rules; the main loop (app/main_loop.cpp) feeds it.
#include "app/frame_schedule.h"

#include <algorithm>
#include <limits>

namespace ludexa {
namespace {

// "At once": earlier than any time the loop's clock can show.
const sf::Time kAtOnce = sf::microseconds(std::numeric_limits<sf::Int64>::min());

}  // namespace

sf::Time pollInterval(int framerate) {
    const int fps = framerate > 0 ? framerate : 30;
    return std::max(sf::milliseconds(kShortestPollMs), sf::microseconds(1000000 / fps));
}

void FrameSchedule::request(FrameReason why) { requestAt(why, kAtOnce); }

void FrameSchedule::requestAt(FrameReason why, sf::Time when) {
    const auto i = static_cast<std::size_t>(why);
    if (i >= deadlines_.size()) return;
    auto& slot = deadlines_[i];
    if (!slot || when < *slot) slot = when;
}

bool FrameSchedule::due(sf::Time now) const { return dueReasons(now) != 0; }

std::uint32_t FrameSchedule::dueReasons(sf::Time now) const {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < deadlines_.size(); ++i)
        if (deadlines_[i] && *deadlines_[i] <= now) bits |= 1u << i;
    return bits;
}

std::optional<sf::Time> FrameSchedule::nextDeadline() const {
    std::optional<sf::Time> next;
    for (const auto& d : deadlines_)
        if (d && (!next || *d < *next)) next = d;
    return next;
}

sf::Time FrameSchedule::wait(sf::Time now, sf::Time poll) const {
    const auto next = nextDeadline();
    if (!next) return poll;
    if (*next <= now) return sf::Time::Zero;
    return std::min(poll, *next - now);
}

void FrameSchedule::drawn(sf::Time now) {
    for (auto& d : deadlines_)
        if (d && *d <= now) d.reset();
}

bool onlyGifAdvanced(std::uint32_t dueReasons) {
    return dueReasons == (1u << static_cast<unsigned>(FrameReason::GifFrame));
}

sf::Time timeLeft(sf::Time period, sf::Time elapsed) { return std::max(sf::Time::Zero, period - elapsed); }

}  // namespace ludexa
