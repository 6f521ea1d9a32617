// The category manager ("管理分类"): editing the ordered list of category
// names, and the backup of every game's categories or save folder to
// media/bak.db and back, matched by game name. GameLauncher::
// showCategoryManagerDialog runs it; the window is built by the platform layer.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "library/database.h"
#include "library/game_info.h"
#include "platform/native_dialogs.h"

namespace ludexa {

enum class AddCategoryResult { Added, Empty, Duplicate, HasBar };

// The working copy of the list with its selection (-1 when nothing is selected).
class CategoryListEditor {
public:
    explicit CategoryListEditor(std::vector<std::string> entries);

    const std::vector<std::string>& entries() const { return entries_; }
    int selection() const { return selection_; }
    void select(int index);
    // Taken as typed (no trimming); an exact duplicate is refused, and so is a
    // name with "|", which separates names in set.ini and in the games' fields.
    AddCategoryResult add(const std::string& name);
    void removeSelected();
    void moveUp();
    void moveDown();

private:
    std::vector<std::string> entries_;
    int selection_ = -1;
};

// bak.db's one table, created on every backup or restore when missing.
inline constexpr const char* kCreateBackupTable =
    "CREATE TABLE IF NOT EXISTS games (name TEXT PRIMARY KEY NOT NULL,category TEXT DEFAULT '',"
    "save_dir TEXT DEFAULT '');";

enum class TransferColumn { Category, SaveDir };
enum class TransferDirection { Backup, Restore };

struct TransferResult {
    // Refused: the receiving database took none of the rows (in use,
    // read-only, full...); `refused` says why and `refusingFile` which file.
    enum class Status { Done, BackupUnavailable, LibraryUnavailable, Refused };
    Status status = Status::Done;
    int count = 0;  // rows written, as the message reports them
    WriteOutcome refused{};
    std::string refusingFile{};
};

// Copies one column between data.db and bak.db. `overwrite` replaces values
// already present on the receiving side; `allowEmpty` lets empty values be
// copied too. A restore writes data.db only.
TransferResult transferColumn(const std::string& dataDbPath, const std::string& bakDbPath, TransferColumn column,
                              TransferDirection direction, bool overwrite, bool allowEmpty);

// Re-reads `category` and `save_dir` of every record from data.db by id, so a
// restore shows at once and a later edit does not write the old values back.
void reloadCategoryAndSaveDir(std::span<GameInfo> games, const std::string& dataDbPath);

class CategoryManagerState final : public CategoryManagerModel {
public:
    // `mediaFolder` ends in "/"; bak.db lives in it.
    CategoryManagerState(std::vector<std::string> categories, std::string dataDbPath, std::string mediaFolder);

    std::vector<std::string> entries() const override { return editor.entries(); }
    int selection() const override { return editor.selection(); }
    void select(int index) override { editor.select(index); }
    void add(const std::string& name, NativeWindow dialog) override;
    void removeSelected() override { editor.removeSelected(); }
    void moveUp() override { editor.moveUp(); }
    void moveDown() override { editor.moveDown(); }
    bool overwrite() const override { return overwrite_; }
    void setOverwrite(bool on) override;
    bool allowEmpty() const override { return allowEmpty_; }
    bool allowEmptyEnabled() const override { return overwrite_; }
    void setAllowEmpty(bool on) override { allowEmpty_ = on && overwrite_; }
    void transfer(int button, NativeWindow dialog) override;

    // Whether a restore changed data.db while the window was open.
    bool restored() const { return restored_; }

    CategoryListEditor editor;

private:
    std::string dataDbPath_;
    std::string mediaFolder_;
    bool overwrite_ = true;
    bool allowEmpty_ = false;
    bool restored_ = false;
};

}  // namespace ludexa
