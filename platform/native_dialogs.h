// The native windows of the launcher: program settings, game settings, the
// category manager with its name input, help, and the size-counting window.
// Each window is built by the platform layer from a plain model that holds
// every rule: the window shows the model's state, hands each user action to
// it and reads the state back. The models live in dialogs/ and library/ and
// are tested without a display.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace ludexa {

// While a ModalRepaint exists, `repaint` runs about ten times a second inside
// the loops of the modal windows below, so the main window behind them keeps
// its picture: without a compositor nothing else would redraw it.
class ModalRepaint {
public:
    explicit ModalRepaint(std::function<void()> repaint);
    ~ModalRepaint();
    ModalRepaint(const ModalRepaint&) = delete;
    ModalRepaint& operator=(const ModalRepaint&) = delete;
};

// ---- Size counting ----------------------------------------------------------

class CountingWindowModel {
public:
    virtual ~CountingWindowModel() = default;
    // Asked on the main thread while the window is open: the text to show once
    // the count has finished (the window then shows its "确定" button).
    virtual std::optional<std::string> poll() = 0;
    // The window is gone: whatever arrives later is dropped.
    virtual void closed() = 0;
};

// An open counting window. Releasing the last reference closes it.
class CountingWindow {
public:
    virtual ~CountingWindow() = default;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
};

// Shows "统计游戏容量" centred over `owner` and returns at once. The window
// lives until the user closes it; it only draws and reacts while
// pumpNativeWindows() is called (the main loop does, every iteration).
std::shared_ptr<CountingWindow> openCountingWindow(std::shared_ptr<CountingWindowModel> model, NativeWindow owner);
void pumpNativeWindows();

// ---- Program settings ---------------------------------------------------------

// The switch buttons, by the ids the dialog has always used.
namespace settings_switch {
inline constexpr int kFormats = 2001;     // jpg, png, bmp, webp, avif, gif: 2001 … 2006
inline constexpr int kAutoSleep = 3001;
inline constexpr int kSleepOnLaunch = 3002;
inline constexpr int kGamepad = 4001;     // Xbox, Switch, PS, 其它: 4001 … 4004
inline constexpr int kFrameRates = 5001;  // 15, 30, 60, 120, 200, 240: 5001 … 5006
inline constexpr int kCustomFrameRate = 5007;
}  // namespace settings_switch

class SettingsDialogModel {
public:
    virtual ~SettingsDialogModel() = default;
    virtual std::vector<std::string> fontNames() const = 0;
    virtual int selectedFont() const = 0;  // -1: none
    virtual void selectFont(int index) = 0;
    virtual int fontSize() const = 0;
    virtual void setFontSize(int size) = 0;
    virtual void restoreDefaultFont() = 0;
    // Replaces the list by the installed fonts known by name; tells the user
    // how many were added in a message over `dialog`.
    virtual void searchSystemFonts(NativeWindow dialog) = 0;
    virtual bool switchOn(int id) const = 0;
    virtual bool switchEnabled(int id) const = 0;
    virtual void clickSwitch(int id) = 0;
    // What the frame-rate field shows (a preset click changes it).
    virtual std::string frameRateText() const = 0;
    // OK with the field's current text; false keeps the dialog open (the
    // model has told the user why, in a message over `dialog`).
    virtual bool accept(const std::string& frameRateText, NativeWindow dialog) = 0;
};

// Modal over `owner`; true when it was closed with OK.
bool runSettingsDialog(SettingsDialogModel& model, NativeWindow owner);

// ---- Game settings --------------------------------------------------------------

struct GameSettingsTexts {
    std::string name, category, exe_path, launch_args, folder_path, save_dir;
};

struct CategoryListItem {
    std::string text;  // "✓ " or two spaces, then the name
    bool marked = false;
};

class GameSettingsDialogModel {
public:
    virtual ~GameSettingsDialogModel() = default;
    virtual GameSettingsTexts initialTexts() const = 0;
    virtual std::string sizeText() const = 0;
    virtual std::string createdText() const = 0;
    virtual std::string lastPlayedText() const = 0;
    // The time played and the number of sessions, shown beside the last launch.
    virtual std::string playTimeText() const { return {}; }
    // Called every second while the dialog is open: a game running meanwhile
    // adds to playTimeText().
    virtual void refresh() {}
    virtual std::string favoriteText() const = 0;
    virtual std::vector<CategoryListItem> categoryItems() const = 0;
    // A double-click on item `index`, given the category field's current
    // text: returns the field's new text (the item flips its mark).
    virtual std::string toggleCategory(int index, const std::string& categoryText) = 0;
    // A program was picked: the game folder to show.
    virtual std::string folderForProgram(const std::string& program, const std::string& currentFolder) const = 0;
    // Counts `folder`; the result ends up in sizeText() (and in the record only
    // through OK).
    virtual std::shared_ptr<CountingWindowModel> countFolder(const std::string& folder) = 0;
    // OK with the fields' texts; false keeps the dialog open.
    virtual bool accept(const GameSettingsTexts& texts, NativeWindow dialog) = 0;
};

bool runGameSettingsDialog(GameSettingsDialogModel& model, NativeWindow owner);

// ---- Category manager --------------------------------------------------------------

class CategoryManagerModel {
public:
    virtual ~CategoryManagerModel() = default;
    virtual std::vector<std::string> entries() const = 0;
    virtual int selection() const = 0;  // -1: none
    virtual void select(int index) = 0;
    // A name typed into the input window ("" when it was cancelled).
    virtual void add(const std::string& name, NativeWindow dialog) = 0;
    virtual void removeSelected() = 0;
    virtual void moveUp() = 0;
    virtual void moveDown() = 0;
    virtual bool overwrite() const = 0;
    virtual void setOverwrite(bool on) = 0;
    virtual bool allowEmpty() const = 0;
    virtual bool allowEmptyEnabled() const = 0;
    virtual void setAllowEmpty(bool on) = 0;
    // Buttons 2010 备份分类, 2011 还原分类, 2012 备份存档目录, 2013 还原存档目录.
    virtual void transfer(int button, NativeWindow dialog) = 0;
};

// Modal over `owner`; true when closed with OK.
bool runCategoryManagerDialog(CategoryManagerModel& model, NativeWindow owner);

// ---- Importing from game stores ---------------------------------------------------

struct StoreChoice {
    std::string label;  // the check box text: the store and its number of new games
};

// "导入游戏平台": one check box per store, all checked; Enter means 确定 and
// Escape 取消. nullopt when cancelled, else whether each store is checked.
// With no store the dialog only says that none was found.
std::optional<std::vector<bool>> runStoreImportDialog(const std::vector<StoreChoice>& stores, NativeWindow owner);

// ---- Help ---------------------------------------------------------------------------

struct HelpContent {
    std::string heading;
    std::string guideCaption, guide;
    std::string gamepadCaption, gamepad;
};

void runHelpDialog(const HelpContent& content, NativeWindow owner);

}  // namespace ludexa
