// The text area's content: the selected game's header line and description,
// or a desktop entry's name and path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/game_info.h"

namespace ludexa {

// "名称：… 收藏：… 容量：… 序号：… 类型：… 时长：…" for one game; `position` is its 1-based
// place in the visible list, or 0 when it is not listed ("?").
std::string composeGameHeader(const GameInfo& game, std::size_t position);

// Header, "\r\n", then the description (or "暂无介绍"), as the text box shows it.
std::wstring composeGameText(const GameInfo& game, std::size_t position, const std::string& description);

// "名称：<the label the grid shows>\n\n路径：<path>".
std::wstring composeDesktopText(const std::wstring& label, const std::wstring& path);

}  // namespace ludexa
