// The category manager: the list editor, the bak.db transfers and applying
// the edited list to the launcher.
#include "dialogs/category_manager.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/paths.h"

namespace ludexa {

CategoryListEditor::CategoryListEditor(std::vector<std::string> entries) : entries_(std::move(entries)) {
    selection_ = entries_.empty() ? -1 : 0;
}

void CategoryListEditor::select(int index) {
    selection_ = index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? index : -1;
}

AddCategoryResult CategoryListEditor::add(const std::string& name) {
    if (name.empty()) return AddCategoryResult::Empty;
    if (name.find('|') != std::string::npos) return AddCategoryResult::HasBar;
    if (std::find(entries_.begin(), entries_.end(), name) != entries_.end()) return AddCategoryResult::Duplicate;
    entries_.push_back(name);
    selection_ = static_cast<int>(entries_.size()) - 1;
    return AddCategoryResult::Added;
}

void CategoryListEditor::removeSelected() {
    if (selection_ < 0 || static_cast<std::size_t>(selection_) >= entries_.size()) return;
    entries_.erase(entries_.begin() + selection_);
    if (entries_.empty())
        selection_ = -1;
    else if (static_cast<std::size_t>(selection_) >= entries_.size())
        selection_ = static_cast<int>(entries_.size()) - 1;
}

void CategoryListEditor::moveUp() {
    if (selection_ < 1 || static_cast<std::size_t>(selection_) >= entries_.size()) return;
    std::swap(entries_[static_cast<std::size_t>(selection_) - 1], entries_[static_cast<std::size_t>(selection_)]);
    --selection_;
}

void CategoryListEditor::moveDown() {
    if (selection_ < 0 || static_cast<std::size_t>(selection_) + 1 >= entries_.size()) return;
    std::swap(entries_[static_cast<std::size_t>(selection_)], entries_[static_cast<std::size_t>(selection_) + 1]);
    ++selection_;
}

namespace {

// Rolls back the transaction `db` has open and returns why it was refused
// (taken before the rollback changes it).
TransferResult refusedBy(Database& db, const char* file) {
    TransferResult result{TransferResult::Status::Refused, 0, db.failure(), file};
    (void)db.exec("ROLLBACK");
    return result;
}

TransferResult backup(Database& data, Database& bak, const std::string& column, bool overwrite, bool allowEmpty) {
    auto select = data.prepare("SELECT name, " + column + " FROM games");
    if (!select) return {};
    const std::string insert =
        overwrite ? "INSERT INTO games(name," + column + ") VALUES(?,?) ON CONFLICT(name) DO UPDATE SET " + column +
                        "=excluded." + column
                  : "INSERT OR IGNORE INTO games(name," + column + ") VALUES(?,?)";
    int count = 0;
    // One transaction: a library of a thousand games is one write to disk,
    // not a thousand, and a refused write leaves no backup half made.
    if (!bak.exec("BEGIN IMMEDIATE")) return refusedBy(bak, "bak.db");
    while (select->step() == SQLITE_ROW) {
        if (select->isNull(0)) continue;
        const std::string value = select->columnText(1);
        if (value.empty() && !allowEmpty) continue;
        auto write = bak.prepare(insert);
        if (!write) return refusedBy(bak, "bak.db");
        write->bind(1, select->columnText(0)).bind(2, value);
        if (!write->stepDone()) return refusedBy(bak, "bak.db");
        ++count;
    }
    if (!bak.exec("COMMIT")) return refusedBy(bak, "bak.db");
    return {TransferResult::Status::Done, count};
}

TransferResult restore(Database& data, Database& bak, const std::string& column, bool overwrite, bool allowEmpty) {
    struct Row {
        std::int64_t id;
        std::string name;
        std::string current;
    };
    std::vector<Row> rows;
    {
        auto select = data.prepare("SELECT id, name, " + column + " FROM games");
        if (!select) return {};
        while (select->step() == SQLITE_ROW)
            if (!select->isNull(1)) rows.push_back({select->columnInt64(0), select->columnText(1), select->columnText(2)});
    }
    int count = 0;
    // All or nothing: a data.db that refuses one update keeps none of them.
    if (!data.exec("BEGIN IMMEDIATE")) return refusedBy(data, "data.db");
    for (const auto& row : rows) {
        auto lookup = bak.prepare("SELECT " + column + " FROM games WHERE name=?");
        if (!lookup) continue;
        lookup->bind(1, row.name);
        if (lookup->step() != SQLITE_ROW) continue;
        const std::string stored = lookup->columnText(0);
        if (stored.empty() && !allowEmpty) continue;
        if (!overwrite && !row.current.empty()) continue;
        // Each record by its id: of two games with one name, a restore without
        // overwriting fills only the one whose field is empty.
        auto update = data.prepare("UPDATE games SET " + column + "=? WHERE id=?");
        if (!update) return refusedBy(data, "data.db");
        update->bind(1, stored).bind(2, row.id);
        if (!update->stepDone()) return refusedBy(data, "data.db");
        ++count;
    }
    if (!data.exec("COMMIT")) return refusedBy(data, "data.db");
    return {TransferResult::Status::Done, count};
}

}  // namespace

TransferResult transferColumn(const std::string& dataDbPath, const std::string& bakDbPath, TransferColumn column,
                              TransferDirection direction, bool overwrite, bool allowEmpty) {
    using Status = TransferResult::Status;
    auto bak = Database::open(bakDbPath, true);
    // A file that is not a database opens but refuses the table: as unusable as
    // one that cannot be opened.
    if (!bak || !bak->exec(kCreateBackupTable)) return {Status::BackupUnavailable, 0};
    // data.db is never created here: a missing library is an error, not an
    // empty one.
    auto data = Database::open(dataDbPath, false);
    if (!data) return {Status::LibraryUnavailable, 0};
    const std::string name = column == TransferColumn::Category ? "category" : "save_dir";
    return direction == TransferDirection::Backup ? backup(*data, *bak, name, overwrite, allowEmpty)
                                                  : restore(*data, *bak, name, overwrite, allowEmpty);
}

void reloadCategoryAndSaveDir(std::span<GameInfo> games, const std::string& dataDbPath) {
    auto db = Database::open(dataDbPath, false);
    if (!db) return;
    auto select = db->prepare("SELECT id, category, save_dir FROM games");
    if (!select) return;
    std::map<std::int64_t, std::pair<std::string, std::string>> byId;
    while (select->step() == SQLITE_ROW) byId[select->columnInt64(0)] = {select->columnText(1), select->columnText(2)};
    for (auto& game : games) {
        const auto it = byId.find(game.id);
        if (it == byId.end()) continue;
        game.category = it->second.first;
        game.save_dir = it->second.second;
    }
}

CategoryManagerState::CategoryManagerState(std::vector<std::string> categories, std::string dataDbPath,
                                           std::string mediaFolder)
    : editor(std::move(categories)), dataDbPath_(std::move(dataDbPath)), mediaFolder_(std::move(mediaFolder)) {}

void CategoryManagerState::add(const std::string& name, NativeWindow dialog) {
    switch (editor.add(name)) {
        case AddCategoryResult::Duplicate:
            showMessageBox({"该分类名称已存在。", "添加分类", MessageIcon::Warning, MessageButtons::Ok, dialog});
            break;
        case AddCategoryResult::HasBar:
            showMessageBox({"分类名称不能包含“|”。", "添加分类", MessageIcon::Warning, MessageButtons::Ok, dialog});
            break;
        case AddCategoryResult::Added:
        case AddCategoryResult::Empty: break;
    }
}

void CategoryManagerState::setOverwrite(bool on) {
    overwrite_ = on;
    // Allowing empty values only makes sense while overwriting; it starts
    // cleared each time it becomes available again.
    if (!on) allowEmpty_ = false;
}

void CategoryManagerState::transfer(int button, NativeWindow dialog) {
    const char* label = nullptr;
    TransferColumn column = TransferColumn::Category;
    TransferDirection direction = TransferDirection::Backup;
    switch (button) {
        case 2010:
            label = "备份分类";
            break;
        case 2011:
            label = "还原分类";
            direction = TransferDirection::Restore;
            break;
        case 2012:
            label = "备份存档目录";
            column = TransferColumn::SaveDir;
            break;
        case 2013:
            label = "还原存档目录";
            column = TransferColumn::SaveDir;
            direction = TransferDirection::Restore;
            break;
        default: return;
    }
    std::string folder = mediaFolder_;
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    if (!folder.empty()) (void)::mkdir(folder.c_str(), 0755);  // errors show up as bak.db failing to open

    const TransferResult result =
        transferColumn(dataDbPath_, mediaFolder_ + "bak.db", column, direction, overwrite_, allowEmpty_);
    switch (result.status) {
        case TransferResult::Status::BackupUnavailable:
            showMessageBox({"无法打开 bak.db", "错误", MessageIcon::Error, MessageButtons::Ok, dialog});
            return;
        case TransferResult::Status::LibraryUnavailable:
            showMessageBox({"无法打开 data.db", "错误", MessageIcon::Error, MessageButtons::Ok, dialog});
            return;
        case TransferResult::Status::Refused:
            showMessageBox({std::string(label) + " 失败，没有任何记录被改动。\n" +
                                writeFailureReason(result.refused, result.refusingFile),
                            "错误", MessageIcon::Error, MessageButtons::Ok, dialog});
            return;
        case TransferResult::Status::Done: break;
    }
    if (direction == TransferDirection::Restore && result.count > 0) restored_ = true;
    showMessageBox({std::string(label) + " 完成，共处理 " + std::to_string(result.count) + " 条记录。", "完成",
                    MessageIcon::Information, MessageButtons::Ok, dialog});
}

void GameLauncher::showCategoryManagerDialog() {
    CategoryManagerState state(library.categories(), databasePath(), mediaRoot());
    const ModalRepaint repaint([this] { render(); });
    const bool accepted = runCategoryManagerDialog(state, nativeHandle());
    bool refilter = false;
    if (state.restored()) {
        reloadCategoryAndSaveDir(library.editGames(), databasePath());
        refilter = true;
    }
    if (accepted) {
        // A deleted category has no tag left to clear it with: it stops filtering.
        if (library.setCategories(state.editor.entries())) refilter = true;
        if (gamepad.focusTag >= static_cast<int>(library.categories().size())) gamepad.focusTag = -1;
        saveConfig();
    }
    if (refilter) {
        ViewChange change = library.filter();
        change.selection = true;
        applyViewChange(change);
    }
    discardInputAfterModal();
}

}  // namespace ludexa
