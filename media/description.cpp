// The text area's content.
#include "media/description.h"

#include <algorithm>

#include "app/GameLauncher.h"
#include "library/desktop.h"
#include "library/play_time.h"
#include "library/size_count.h"
#include "media/media_folder.h"
#include "platform/text.h"

namespace ludexa {

std::string composeGameHeader(const GameInfo& game, std::size_t position) {
    const std::string size = game.game_size < 1 ? "未统计" : formatByteCount(game.game_size);
    return "名称：" + game.name + "  收藏：" + (game.is_favorite ? "★" : "☆") + "  容量：" + size +
           "  序号：" + (position == 0 ? std::string("?") : std::to_string(position)) +
           "  类型：" + (game.category.empty() ? std::string("未分类") : game.category) +
           "  时长：" + shownPlayTime({game.play_seconds, game.play_sessions});
}

std::wstring composeGameText(const GameInfo& game, std::size_t position, const std::string& description) {
    return utf8ToWstring(composeGameHeader(game, position) + "\r\n" +
                         (description.empty() ? std::string(kNoDescription) : description));
}

std::wstring composeDesktopText(const std::wstring& label, const std::wstring& path) {
    return L"名称：" + label + L"\n\n路径：" + path;
}

void GameLauncher::updateTextContent() {
    if (library.desktopMode()) {
        std::wstring text;
        if (focusIndex >= 0 && static_cast<std::size_t>(focusIndex) < desktopItems.size()) {
            const auto& item = desktopItems[static_cast<std::size_t>(focusIndex)];
            text = composeDesktopText(item.label, item.path);
        }
        textBox.setText(text, true);
        return;
    }
    if (const GameInfo* selected = library.selectedGame()) {
        scanGameMediaFolder(selected->name);
    } else {
        mapFiles.clear();
        descriptionText.clear();
        mapVisible = false;
    }
    updateRichEditText();
}

void GameLauncher::updateRichEditText() {
    const GameInfo* selected = library.selectedGame();
    if (!selected) {
        textBox.setText(L"请选择一个游戏", false);
        return;
    }
    // Counted from 1; 0 when the game is not listed.
    const auto position = static_cast<std::size_t>(library.selectedPosition() + 1);
    textBox.setText(composeGameText(*selected, position, descriptionText), true);
}

}  // namespace ludexa
