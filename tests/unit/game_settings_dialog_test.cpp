// The game settings dialog's rules: category toggling, the name check, the
// program folder, and what OK writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/game_settings_dialog.h"
#include "library/database.h"
#include "temp_dir.h"

using namespace ludexa;

TEST(GameSettingsDialog, CategoryListAndToggling) {
    const auto items = categoryListItems({"RPG", "动作", "RP"}, "RPG|冒险");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "✓ RPG");
    EXPECT_TRUE(items[0].marked);
    EXPECT_EQ(items[1].text, "  动作");
    EXPECT_FALSE(items[2].marked);  // "RP" is not a piece of "RPG"

    EXPECT_EQ(toggleCategoryText("RPG|冒险|RPG||动作", "RPG", true), "冒险|动作");
    EXPECT_EQ(toggleCategoryText("冒险", "RPG", false), "冒险|RPG");
    EXPECT_EQ(toggleCategoryText("", "RPG", false), "RPG");
    EXPECT_EQ(toggleCategoryText("RPG", "RPG", true), "");

    GameInfo game;
    game.category = "旧分类|RPG";
    const std::vector<std::string> categories{"RPG", "动作"};
    GameSettingsDialogState state(game, 0, categories);
    // The field's current text is what is toggled, typed edits included.
    std::string text = state.toggleCategory(1, "旧分类|RPG|手写");
    EXPECT_EQ(text, "旧分类|RPG|手写|动作");
    EXPECT_EQ(state.categoryItems()[1].text, "✓ 动作");
    text = state.toggleCategory(0, text);
    EXPECT_EQ(text, "旧分类|手写|动作");
    EXPECT_EQ(state.categoryItems()[0].text, "  RPG");
    EXPECT_EQ(state.toggleCategory(5, text), text);  // no such item
}

TEST(GameSettingsDialog, ProgramFolderAndTexts) {
    EXPECT_EQ(folderOfProgram("/games/星露谷/run.sh", "/old"), "/games/星露谷");
    EXPECT_EQ(folderOfProgram("C:\\Games\\x.exe", "/old"), "C:\\Games");
    EXPECT_EQ(folderOfProgram("/run.sh", "/old"), "/");
    EXPECT_EQ(folderOfProgram("run.sh", "/old"), "/old");

    EXPECT_EQ(gameSizeText(0), "未统计");
    EXPECT_EQ(gameSizeText(-1), "未统计");
    EXPECT_EQ(gameSizeText(1536), "1.50 KB");

    GameInfo game;
    game.is_favorite = true;
    const std::vector<std::string> none;
    GameSettingsDialogState state(game, 0, none);
    EXPECT_EQ(state.lastPlayedText(), "从未游玩");
    EXPECT_EQ(state.favoriteText(), "已收藏");
}

TEST(GameSettingsDialog, NameMustBeUsableAsAFolderName) {
    for (const char* bad : {"", " \t ", "a/b", ".", ".."}) EXPECT_TRUE(gameNameProblem(bad)) << bad;
    for (const char* good : {" 空洞骑士 ", "..."}) EXPECT_FALSE(gameNameProblem(good)) << good;

    std::vector<MessageBoxRequest> shown;
    setMessageBoxHook([&](const MessageBoxRequest& r) {
        shown.push_back(r);
        return true;
    });
    GameInfo game;
    const std::vector<std::string> none;
    GameSettingsDialogState state(game, 0, none);
    EXPECT_FALSE(state.accept({"", "", "", "", "", ""}, 0));
    EXPECT_FALSE(state.context.saved);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "游戏名称不能为空。");
    setMessageBoxHook(nullptr);
}

TEST(GameSettingsDialog, OkWritesTheRecordById) {
    const test::ScopedTempDir temp;
    const auto& dir = temp.path();
    const std::string path = (dir / "data.db").string();
    ASSERT_TRUE(initDatabase(path));
    {
        auto db = Database::open(path);
        ASSERT_TRUE(db->exec("INSERT INTO games(id, name, game_size) VALUES (4, 'a', 10), (9, 'b', 20);"));
    }
    GameInfo game;
    game.id = 9;
    game.name = "b";
    game.game_size = 20;

    GameSettingsContext ok;
    ok.name = "新名字";
    ok.category = "RPG";
    ok.save_dir = "/saves";
    applyGameSettings(ok, game);  // no count in the dialog: the size stays
    EXPECT_EQ(game.game_size, 20);
    ok.gameSize = 4096;
    applyGameSettings(ok, game);
    EXPECT_EQ(game.game_size, 4096);
    ASSERT_TRUE(saveGameRecord(path, game).done());

    const auto games = loadGames(path);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].name, "a");
    EXPECT_EQ(games[1].name, "新名字");
    EXPECT_EQ(games[1].category, "RPG");
    EXPECT_EQ(games[1].save_dir, "/saves");
    EXPECT_EQ(games[1].game_size, 4096);
}
