// The game settings dialog ("游戏设置"): one game's name, categories, program,
// arguments and save folder, its size count, and what OK writes back.
// GameLauncher::showGameSettingsDialog runs it; the window itself is built by
// the platform layer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/database.h"
#include "library/game_info.h"
#include "platform/native_dialogs.h"

namespace ludexa {

struct GameSettingsContext {
    GameInfo* game = nullptr;  // the record being edited
    int index = -1;            // its index in games
    std::string name, category, exe_path, launch_args, folder_path, save_dir;  // filled on OK
    std::int64_t gameSize = -1;  // -1 until a count finishes in the dialog
    bool saved = false;
    const std::vector<std::string>* categoryList = nullptr;
};

// One list item per category of the launcher, marked when the game's
// category text names it as a whole piece.
std::vector<CategoryListItem> categoryListItems(const std::vector<std::string>& categories,
                                                const std::string& categoryText);
// A double-click: a marked name leaves the text (every copy of it), an
// unmarked one is appended; other names, known or not, keep their order.
std::string toggleCategoryText(const std::string& categoryText, const std::string& name, bool marked);
// The folder part of a picked program; `currentFolder` when it has none.
std::string folderOfProgram(const std::string& program, const std::string& currentFolder);
// "未统计" for 0 or less, else the size in B, KB, MB or GB.
std::string gameSizeText(std::int64_t bytes);
// Why a name cannot be a game's name (it names the game's resource folder),
// or nothing when it can.
std::optional<std::string> gameNameProblem(const std::string& name);

// OK's changes to the record, and the record written to data.db by id.
void applyGameSettings(const GameSettingsContext& context, GameInfo& game);
WriteOutcome saveGameRecord(const std::string& databasePath, const GameInfo& game);

class GameSettingsDialogState final : public GameSettingsDialogModel {
public:
    GameSettingsDialogState(GameInfo& game, int index, const std::vector<std::string>& categories);

    GameSettingsTexts initialTexts() const override;
    std::string sizeText() const override;
    std::string createdText() const override { return context.game->created_at; }
    std::string lastPlayedText() const override;
    std::string playTimeText() const override;
    std::string favoriteText() const override { return context.game->is_favorite ? "已收藏" : "未收藏"; }
    std::vector<CategoryListItem> categoryItems() const override { return items_; }
    std::string toggleCategory(int index, const std::string& categoryText) override;
    std::string folderForProgram(const std::string& program, const std::string& currentFolder) const override {
        return folderOfProgram(program, currentFolder);
    }
    std::shared_ptr<CountingWindowModel> countFolder(const std::string& folder) override;
    bool accept(const GameSettingsTexts& texts, NativeWindow dialog) override;
    void refresh() override {
        if (onRefresh) onRefresh();
    }

    GameSettingsContext context;
    std::function<void()> onRefresh;  // brings in the play time written meanwhile

private:
    std::vector<CategoryListItem> items_;
};

}  // namespace ludexa
