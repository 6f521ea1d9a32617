// The game settings dialog: category toggling, the size count, the name
// check, and writing the record back on OK.
#include "dialogs/game_settings_dialog.h"

#include <algorithm>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/play_time.h"
#include "library/size_count.h"
#include "platform/paths.h"

namespace ludexa {
namespace {

constexpr const char* kMarked = "✓ ";
constexpr const char* kUnmarked = "  ";

std::string joinCategories(const std::vector<std::string>& pieces) {
    std::string text;
    for (const auto& piece : pieces) {
        if (!text.empty()) text += '|';
        text += piece;
    }
    return text;
}

}  // namespace

std::vector<CategoryListItem> categoryListItems(const std::vector<std::string>& categories,
                                                const std::string& categoryText) {
    const auto pieces = splitCategories(categoryText);
    std::vector<CategoryListItem> items;
    for (const auto& name : categories) {
        const bool marked = std::find(pieces.begin(), pieces.end(), name) != pieces.end();
        items.push_back({(marked ? kMarked : kUnmarked) + name, marked});
    }
    return items;
}

std::string toggleCategoryText(const std::string& categoryText, const std::string& name, bool marked) {
    auto pieces = splitCategories(categoryText);
    if (marked)
        pieces.erase(std::remove(pieces.begin(), pieces.end(), name), pieces.end());
    else
        pieces.push_back(name);
    return joinCategories(pieces);
}

std::string folderOfProgram(const std::string& program, const std::string& currentFolder) {
    const auto cut = program.find_last_of("\\/");
    if (cut == std::string::npos) return currentFolder;
    // A program directly in "/" lives in "/", not in "".
    if (cut == 0 && program[0] == '/') return "/";
    return program.substr(0, cut);
}

std::string gameSizeText(std::int64_t bytes) { return bytes <= 0 ? "未统计" : formatByteCount(bytes); }

std::optional<std::string> gameNameProblem(const std::string& name) {
    if (std::all_of(name.begin(), name.end(), [](unsigned char c) { return c == ' ' || c == '\t'; }))
        return std::string("游戏名称不能为空。");
    if (name.find('/') != std::string::npos) return std::string("游戏名称不能包含“/”。");
    if (name == "." || name == "..") return std::string("游戏名称不能是“.”或“..”。");
    return std::nullopt;
}

void applyGameSettings(const GameSettingsContext& context, GameInfo& game) {
    game.name = context.name;
    game.category = context.category;
    game.exe_path = context.exe_path;
    game.launch_args = context.launch_args;
    game.folder_path = context.folder_path;
    game.save_dir = context.save_dir;
    if (context.gameSize >= 0) game.game_size = context.gameSize;
}

WriteOutcome saveGameRecord(const std::string& databasePath, const GameInfo& game) {
    return runWrite(databasePath,
                    "UPDATE games SET name=?, category=?, exe_path=?, launch_args=?, folder_path=?, save_dir=?, "
                    "game_size=? WHERE id=?",
                    [&](Statement& update) {
                        update.bind(1, game.name)
                            .bind(2, game.category)
                            .bind(3, game.exe_path)
                            .bind(4, game.launch_args)
                            .bind(5, game.folder_path)
                            .bind(6, game.save_dir)
                            .bind(7, game.game_size)
                            .bind(8, game.id);
                    });
}

GameSettingsDialogState::GameSettingsDialogState(GameInfo& game, int index, const std::vector<std::string>& categories) {
    context.game = &game;
    context.index = index;
    context.categoryList = &categories;
    items_ = categoryListItems(categories, game.category);
}

GameSettingsTexts GameSettingsDialogState::initialTexts() const {
    const GameInfo& g = *context.game;
    return {g.name, g.category, g.exe_path, g.launch_args, g.folder_path, g.save_dir};
}

std::string GameSettingsDialogState::sizeText() const {
    return gameSizeText(context.gameSize >= 0 ? context.gameSize : context.game->game_size);
}

std::string GameSettingsDialogState::lastPlayedText() const {
    return context.game->last_played.empty() ? "从未游玩" : context.game->last_played;
}

std::string GameSettingsDialogState::playTimeText() const {
    return playTimeSummary({context.game->play_seconds, context.game->play_sessions});
}

std::string GameSettingsDialogState::toggleCategory(int index, const std::string& categoryText) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return categoryText;
    auto& item = items_[static_cast<std::size_t>(index)];
    const std::string name = item.text.substr(item.marked ? std::string(kMarked).size() : std::string(kUnmarked).size());
    const std::string text = toggleCategoryText(categoryText, name, item.marked);
    item.marked = !item.marked;
    item.text = (item.marked ? kMarked : kUnmarked) + name;
    return text;
}

std::shared_ptr<CountingWindowModel> GameSettingsDialogState::countFolder(const std::string& folder) {
    // The total stays in the dialog: it reaches the record and data.db only
    // through OK.
    return std::make_shared<SizeCountContext>(folder, [this](std::int64_t bytes) {
        context.gameSize = bytes;
        return std::string();
    });
}

bool GameSettingsDialogState::accept(const GameSettingsTexts& texts, NativeWindow dialog) {
    if (const auto problem = gameNameProblem(texts.name)) {
        showMessageBox({*problem, "游戏设置", MessageIcon::Warning, MessageButtons::Ok, dialog});
        return false;
    }
    context.name = texts.name;
    context.category = texts.category;
    context.exe_path = texts.exe_path;
    context.launch_args = texts.launch_args;
    context.folder_path = texts.folder_path;
    context.save_dir = texts.save_dir;
    context.saved = true;
    return true;
}

void GameLauncher::showGameSettingsDialog(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= library.games().size()) return;
    GameSettingsDialogState state(library.editGames()[static_cast<std::size_t>(index)], index, library.categories());
    // The main loop waits while the dialog runs; the play time of a game
    // running meanwhile is brought in from here.
    state.onRefresh = [this] { collectPlayTime(); };
    const ModalRepaint repaint([this] { render(); });
    if (runGameSettingsDialog(state, nativeHandle()) && state.context.saved) {
        GameInfo updated = library.games()[static_cast<std::size_t>(index)];
        applyGameSettings(state.context, updated);
        // A refused write keeps the record as the file has it.
        if (writeLibrary([&] { return saveGameRecord(databasePath(), updated); }).done()) {
            library.editGames()[static_cast<std::size_t>(index)] = std::move(updated);
            sortGames();
            updateTextContent();
        }
    }
    discardInputAfterModal();
}

}  // namespace ludexa
