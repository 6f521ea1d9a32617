// The category manager: list edits, check boxes, backups and restores with media/bak.db.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dialogs/category_manager.h"
#include "library/database.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

class Databases : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.path() / "media");
        data = dir_ / "data.db";
        bak = dir_ / "media/bak.db";
        ASSERT_TRUE(initDatabase(data));
    }

    void run(const std::string& db, const std::string& sql) {
        auto handle = Database::open(db);
        ASSERT_TRUE(handle && handle->exec(sql.c_str())) << sql;
    }
    // "name=value" for every row, in id (or name) order; NULL shows as "<null>".
    std::string rows(const std::string& db, const std::string& column) {
        auto handle = Database::open(db, false);
        auto select = handle->prepare("SELECT name, " + column + " FROM games ORDER BY " +
                                      (db == data ? "id" : "name"));
        std::string out;
        while (select->step() == SQLITE_ROW)
            out += select->columnText(0) + "=" + (select->isNull(1) ? "<null>" : select->columnText(1)) + ";";
        return out;
    }
    TransferResult backup(bool overwrite = true, bool allowEmpty = false) {
        return transferColumn(data, bak, TransferColumn::Category, TransferDirection::Backup, overwrite, allowEmpty);
    }
    TransferResult restore(bool overwrite = true, bool allowEmpty = false) {
        return transferColumn(data, bak, TransferColumn::Category, TransferDirection::Restore, overwrite, allowEmpty);
    }

    test::ScopedTempDir dir_{"ludexa_category"};
    std::string data, bak;
};

}  // namespace

TEST(CategoryList, AddDeleteAndMove) {
    CategoryListEditor list({"RPG", "动作", "冒险"});
    EXPECT_EQ(list.selection(), 0);
    list.moveUp();  // the first entry cannot go up
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"RPG", "动作", "冒险"}));
    list.moveDown();
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"动作", "RPG", "冒险"}));
    EXPECT_EQ(list.selection(), 1);
    list.select(2);
    list.moveDown();  // the last entry cannot go down
    EXPECT_EQ(list.selection(), 2);

    EXPECT_EQ(list.add(""), AddCategoryResult::Empty);
    EXPECT_EQ(list.add("RPG"), AddCategoryResult::Duplicate);
    EXPECT_EQ(list.add("A|B"), AddCategoryResult::HasBar);
    EXPECT_EQ(list.add(" RPG"), AddCategoryResult::Added);  // taken as typed
    EXPECT_EQ(list.selection(), 3);

    list.removeSelected();  // the last one: the new last is selected
    EXPECT_EQ(list.selection(), 2);
    list.select(0);
    list.removeSelected();  // the one now at the same place is selected
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"RPG", "冒险"}));
    EXPECT_EQ(list.selection(), 0);
    list.select(-1);
    list.removeSelected();
    EXPECT_EQ(list.entries().size(), 2u);

    CategoryListEditor empty({});
    EXPECT_EQ(empty.selection(), -1);
    empty.removeSelected();
    empty.moveDown();
}

TEST(CategoryList, AllowEmptyFollowsOverwrite) {
    CategoryManagerState state({}, "", "");
    EXPECT_TRUE(state.overwrite());
    EXPECT_TRUE(state.allowEmptyEnabled());
    state.setAllowEmpty(true);
    state.setOverwrite(false);
    EXPECT_FALSE(state.allowEmpty());
    EXPECT_FALSE(state.allowEmptyEnabled());
    state.setAllowEmpty(true);  // disabled: stays clear
    EXPECT_FALSE(state.allowEmpty());
    state.setOverwrite(true);
    EXPECT_TRUE(state.allowEmptyEnabled());
    EXPECT_FALSE(state.allowEmpty());
}

// Rows are (name, category); `written` is the category column of the file written to.
TEST_F(Databases, OverwriteAndAllowEmptyDecideWhatIsWritten) {
    const char* restoreData = "('甲', ''), ('乙', 'mine'), ('丙', NULL), ('丁', '')";
    const char* restoreBak = "('甲', 'RPG'), ('乙', '动作'), ('丙', '冒险')";
    const struct {
        const char* dataRows;
        const char* bakRows;
        bool toBackup, overwrite, allowEmpty;
        int count;
        const char* written;
    } cases[] = {
        {"('甲', 'RPG'), ('乙', ''), ('丙', NULL), ('丁', '动作|冒险')", "('甲', 'old'), ('乙', 'kept')", true, true, false,
         2, "丁=动作|冒险;乙=kept;甲=RPG;"},
        // Without overwriting only new names are added; an ignored insert counts as handled.
        {"('甲', 'RPG'), ('乙', '动作')", "('甲', 'old')", true, false, false, 2, "乙=动作;甲=old;"},
        {"('甲', ''), ('乙', NULL)", "('甲', 'RPG'), ('乙', '动作')", true, true, true, 2, "乙=;甲=;"},
        {"('甲', 'RPG'), ('乙', 'RPG')", "('甲', ''), ('乙', '')", false, true, false, 0, "甲=RPG;乙=RPG;"},
        {"('甲', 'RPG'), ('乙', 'RPG')", "('甲', ''), ('乙', '')", false, true, true, 2, "甲=;乙=;"},
        {restoreData, restoreBak, false, false, false, 2, "甲=RPG;乙=mine;丙=冒险;丁=;"},
        {restoreData, restoreBak, false, true, false, 3, "甲=RPG;乙=动作;丙=冒险;丁=;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dataRows) + " / " + c.bakRows);
        run(data, std::string("DELETE FROM games; INSERT INTO games(name, category) VALUES ") + c.dataRows);
        run(bak, std::string(kCreateBackupTable) + "DELETE FROM games; INSERT INTO games(name, category) VALUES " + c.bakRows);
        const auto result = c.toBackup ? backup(c.overwrite, c.allowEmpty) : restore(c.overwrite, c.allowEmpty);
        EXPECT_EQ(result.status, TransferResult::Status::Done);
        EXPECT_EQ(result.count, c.count);
        EXPECT_EQ(rows(c.toBackup ? bak : data, "category"), c.written);
    }
}

TEST_F(Databases, TwoGamesOfOneNameShareOneBackupRow) {
    run(data, "INSERT INTO games(name, category, save_dir) VALUES ('同名', 'A', '/a'), ('同名', 'B', '');");
    EXPECT_EQ(backup().count, 2);
    EXPECT_EQ(rows(bak, "category"), "同名=B;");
    run(data, "UPDATE games SET category='x';");
    EXPECT_EQ(restore().count, 2);  // one update for each game read
    EXPECT_EQ(rows(data, "category"), "同名=B;同名=B;");

    // Without overwriting, the game whose field is set keeps it.
    EXPECT_EQ(transferColumn(data, bak, TransferColumn::SaveDir, TransferDirection::Backup, true, false).count, 1);
    EXPECT_EQ(rows(bak, "category"), "同名=B;");  // the other column is untouched
    EXPECT_EQ(transferColumn(data, bak, TransferColumn::SaveDir, TransferDirection::Restore, false, false).count, 1);
    EXPECT_EQ(rows(data, "save_dir"), "同名=/a;同名=/a;");
}

TEST_F(Databases, UnusableFilesAreReportedNotCounted) {
    std::ofstream(bak, std::ios::binary) << "this is not an sqlite database, only some text long enough to be read as a header";
    EXPECT_EQ(backup().status, TransferResult::Status::BackupUnavailable);
    std::filesystem::remove(bak);
    data = dir_ / "missing.db";
    EXPECT_EQ(restore().status, TransferResult::Status::LibraryUnavailable);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.db"));  // never created empty
}

TEST_F(Databases, ManagerReportsEachTransferAndRestoreReachesTheRecords) {
    run(data, "INSERT INTO games(id, name, category, save_dir) VALUES (3, '甲', 'RPG', '/s1'), (8, '乙', '', '');");
    std::vector<MessageBoxRequest> shown;
    setMessageBoxHook([&](const MessageBoxRequest& r) {
        shown.push_back(r);
        return true;
    });
    std::filesystem::remove_all(dir_ / "media");  // made again on demand
    CategoryManagerState state({}, data, dir_ / "media/");
    state.transfer(2012, 5);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "备份存档目录 完成，共处理 1 条记录。");
    EXPECT_EQ(shown[0].owner, 5u);
    EXPECT_FALSE(state.restored());

    run(bak, "INSERT INTO games(name, category) VALUES ('乙', '动作');");
    state.transfer(2011, 5);
    EXPECT_EQ(shown.back().text, "还原分类 完成，共处理 1 条记录。");
    EXPECT_TRUE(state.restored());
    setMessageBoxHook(nullptr);

    std::vector<GameInfo> games(2);
    games[0].id = 8;
    games[1].id = 3;
    reloadCategoryAndSaveDir(games, data);
    EXPECT_EQ(games[0].category, "动作");
    EXPECT_EQ(games[1].save_dir, "/s1");
}
