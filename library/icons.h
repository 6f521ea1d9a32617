// The icon a new game gets, chosen the way a file manager's largest view
// would show it, and the PNG bytes it is stored as in data.db.
#pragma once

#include <optional>
#include <vector>

#include "platform/icons.h"

namespace ludexa {

inline constexpr int kJumboIconSize = 256;
inline constexpr int kFallbackIconSize = 96;

// Whether a 256 x 256 rendering of an icon over black is a genuine large icon
// rather than a small one sitting in a corner of an empty canvas. Icons whose
// corners differ by more than 30 in a colour channel are accepted at once;
// otherwise the content (pixels more than 30 away from the corners' average
// colour) must span at least 150 pixels across or down. Buffers of any other
// size are rejected.
bool isRealJumboIcon(const RgbaImage& renderedOnBlack);

// `icon` drawn at the top-left corner of a black size x size square, blended
// by its alpha; the square is opaque. This is the picture isRealJumboIcon judges.
RgbaImage renderOnBlack(const RgbaImage& icon, int size);

// The icon one source gives a new game: its icon at up to 256 x 256 is kept
// (at 256 x 256) when isRealJumboIcon accepts it, else the source's icon at
// 96 x 96; nullopt when the source gives neither.
std::optional<RgbaImage> iconFromSource(IconLoader& loader, const IconSource& source);

// The icon for a new game: the first source that gives one (iconFromSource);
// nullopt when none does.
std::optional<RgbaImage> iconForNewGame(IconLoader& loader, const std::vector<IconSource>& sources);

// The bytes of a PNG file holding the image; empty when it cannot be encoded.
std::vector<unsigned char> encodePng(const RgbaImage& image);

}  // namespace ludexa
