// GameLauncher: the one application object. It owns the window, the library,
// every setting and every piece of UI state. Its member functions are defined
// in the folder of the subsystem that owns them (library/filter.cpp defines
// filterGames, ui/render.cpp defines render, ...); each function that computes
// something hands the work to a free function that tests can call directly.
#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "app/frame_schedule.h"
#include "app/main_loop.h"
#include "app/settings.h"
#include "appearance/background.h"
#include "library/game_info.h"
#include "library/icon_cache.h"
#include "library/library_view.h"
#include "library/play_time.h"
#include "media/detached_task.h"
#include "media/gif/gif_animation.h"
#include "media/loader.h"
#include "platform/dialogs.h"
#include "platform/image_codecs.h"
#include "platform/joystick.h"
#include "ui/category_bar.h"
#include "ui/layout.h"
#include "ui/widgets/search_box.h"
#include "ui/widgets/text_box.h"

namespace ludexa {

class CountingWindow;     // platform/native_dialogs.h
class EventWait;          // platform/event_wait.h
class PlayWatcher;        // library/play_watch.h
struct ImportedGame;      // library/import.h
struct StoredGames;       // library/import.h
struct WriteOutcome;      // library/database.h

class GameLauncher {
public:
    GameLauncher();
    ~GameLauncher();
    GameLauncher(const GameLauncher&) = delete;
    GameLauncher& operator=(const GameLauncher&) = delete;

    // ---- Main window (app/launcher.cpp) ---------------------------------
    sf::RenderWindow window;

    // ---- Settings (app/config.cpp) -----------------------------------------
    // Every stored setting, read from set.ini at start and written whole by
    // saveConfig. The live window size, the toolbar height, the display mode
    // and the categories are kept where they change and joined in on saving.
    Settings settings;
    // set.ini could not be read in full (too large, a line too long, a read
    // error): saveConfig leaves it as it is for the whole run.
    bool keepSettingsFile = false;

    // ---- Display mode (app/display_mode.cpp) -----------------------------
    struct WindowRect {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    int fullscreen = 0;  // 0 windowed, 1 borderless work area, 2 whole monitor
    WindowRect savedWindowRect{};
    unsigned long savedWindowStyle = 0;  // frame shown (bit 0), maximised (bit 1) when leaving mode 0

    // ---- Main loop and sleep (app/main_loop.cpp) -------------------------
    bool isSleeping = false;
    sf::Clock idleClock;
    JoystickSnapshot joystickButtonSnapshot{};
    std::unique_ptr<JoystickSource> joysticks;  // sf::Joystick, or a scripted pad in tests
    FrameSchedule frames;        // why the next frame is drawn, and when
    sf::Clock frameTimeline;     // the clock the schedule's times are read from
    // Where the loop sleeps between frames (app/idle_wait.cpp); main thread only.
    std::unique_ptr<EventWait> eventWait;
    sf::Clock deviceChangeClock;   // since /dev/input last changed
    bool deviceChangeSeen = false;  // and that was less than kDeviceSettleSeconds ago
    sf::Vector2u presentedSize;  // the window's size when the last frame was presented

    // ---- Library (library/) -----------------------------------------------
    // The games, what the grid lists, the selection, the search and the
    // category choice. Changed only through its operations, whose reports go
    // through applyViewChange.
    LibraryView library;
    std::unique_ptr<IconCache> iconCache;  // the grid's icons, decoded on demand

    // ---- Category tag bar (ui/category_bar.cpp) --------------------------
    bool categoriesExpanded = false;
    int categoryRowScroll = 0;  // rows scrolled past in the expanded bar
    bool categoryTempExpanded = false;
    sf::Clock categoryTempExpandClock;
    mutable CategoryBarCache categoryBarCache;  // main thread only

    // ---- Layout (ui/layout.cpp) -------------------------------------------
    float toolbarHeight = 44;
    float leftPanelWidth = 350;
    float leftTopHeight = 400;
    float windowWidth = 1200;
    float windowHeight = 800;
    // The splitter being dragged: where the press was along the drag, and the size then.
    Splitter draggedSplitter = Splitter::None;
    float splitterPressAt = 0, splitterPressSize = 0;

    // ---- Mouse and keyboard (ui/input.cpp) -------------------------------
    int focusIndex = 0;
    // The grid under the pointer: its scroll, a press, a drag, a fling.
    struct GridInput {
        float scrollOffset = 0;
        float maxScroll = 0;
        bool draggingScrollbar = false;
        float scrollDragStartY = 0;
        float scrollDragStartOffset = 0;
        int pressState = 0;  // 0 idle, 1 pressed in the grid, 2 drag-scrolling
        sf::Vector2f pressPos;
        float pressScroll = 0;
        sf::Vector2f lastDragPos;
        sf::Clock dragClock;
        sf::Clock pressClock;
        float flingVelocity = 0;  // pixels per second
        bool flingActive = false;
        int lastClickedGame = -1;  // for a double click
        sf::Clock lastClickClock;
    } gridInput;
    int titleButtonPressed = 0;  // 0 none, 1 display mode, 2 minimise, 3 close
    bool lastInTextBox = false;
    int lastDesktopClicked = -1;
    sf::Clock lastDesktopClickClock;
    sf::Cursor arrowCursor;
    sf::Cursor textCursor;
    sf::Cursor waitCursor;  // while a write waits for a data.db another program holds

    // ---- Menus (ui/menus.cpp, ui/theme_menu.cpp) -------------------------
    struct Menus {
        bool blankOpen = false;  // the blank area's menu
        sf::Vector2f blankPos;
        int blankHoverItem = -1;
        bool blankSubmenuOpen = false;
        int blankSubmenuHoverItem = -1;
        bool iconOpen = false;  // a game's menu
        sf::Vector2f iconPos;
        int iconGame = -1;
        int iconHoverItem = -1;
        bool copyOpen = false;  // the text area's "复制" menu
        sf::Vector2f copyPos;
        bool copyHover = false;
        bool themeOpen = false;  // the "换肤" menu
        int themeHoverItem = -1;
        bool themeSubmenuOpen = false;
        int themeSubmenuHoverItem = -1;
    } menus;

    // ---- Gamepad (ui/gamepad.cpp) -----------------------------------------
    struct Gamepad {
        std::vector<int> connected;  // joystick ids
        bool focusActive = false;
        int focusArea = 1;  // 0 category bar, 1 icon grid
        int focusTag = -1;
        sf::Clock repeatClock;
        sf::Clock textScrollClock;
        sf::Clock scanClock;
        std::array<bool, 7> buttonLatches{};
    } gamepad;

    // ---- Soft keyboard (ui/soft_keyboard.cpp) ----------------------------
    struct SoftKeyboard {
        bool visible = false;
        int row = 2;
        int column = 4;
        std::array<std::string, 4> rows{"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM<-"};
    } softKeyboard;

    // ---- Search box (ui/widgets/search_box.cpp) --------------------------
    SearchBox searchBox;

    // ---- Preview media (media/) --------------------------------------------
    std::vector<std::string> mapFiles;
    int currentMapIndex = 0;
    bool mapVisible = false;
    std::string descriptionText;

    PictureLoader pictureLoader;  // its thread and result slot, with their locks
    sf::Texture previewTexture;
    bool previewIsGif = false;
    GifAnimation previewGif;
    std::unique_ptr<sf::Text> loadingText;
    std::string previewProblem;  // the picture area's caption for a picture that cannot be shown

    // ---- Picture-only frames (ui/picture_redraw.cpp) ---------------------
    // While a GIF plays, the last complete frame is kept here, so that a frame
    // in which only the GIF advanced redraws the picture area alone.
    sf::Texture lastFrame;        // only where part of a frame cannot be presented alone
    sf::Vector2u lastFrameSize;   // the window's size in that frame
    bool lastFrameValid = false;
    bool lastFrameGridComplete = true;

    // ---- Text area (media/description.cpp, ui/widgets/text_box.cpp) ------
    SfmlTextBox textBox;

    // ---- Fonts (appearance/fonts.cpp) --------------------------------------
    sf::Font uiFont;
    sf::Font contentFont;
    std::vector<std::uint8_t> uiFontBytes;       // the face uiFont was opened from
    std::vector<std::uint8_t> contentFontBytes;  // the face contentFont was opened from
    int contentFontSize = 14;  // the text area's size, changed by Ctrl + wheel

    // ---- Theme and background (appearance/themes.cpp) --------------------
    sf::Texture backgroundTexture;
    // A background picture is decoded off the main thread; until it arrives
    // the window keeps the theme's colours. Main thread only.
    enum class BackgroundUse { AtStart, Switched, Chosen };
    DetachedTask<BackgroundPicture> backgroundTask;
    BackgroundUse backgroundUse = BackgroundUse::AtStart;
    bool backgroundAtStartPending = false;  // set.ini asks for it; still decoding

    // ---- Desktop view (library/desktop.cpp) ------------------------------
    struct DesktopItem {
        std::wstring name;
        std::wstring label;  // what the grid and the text area call it
        std::wstring path;
        std::unique_ptr<sf::Texture> texture;
        int iconIndex = -1;
    };
    std::vector<DesktopItem> desktopItems;

    // ---- Launching (library/launch.cpp) ----------------------------------
    sf::Clock launchClock;
    bool launchDebounceArmed = false;

    // ---- Dialogs closing (ui/input.cpp) -----------------------------------
    bool inputDrainedAtDialogClose = false;
    std::unique_ptr<DialogCloseWatch> dialogCloseWatch;

    // ---- Play time (library/play_watch.cpp) --------------------------------
    // Follows launched games on its own thread while run() runs.
    std::unique_ptr<PlayWatcher> playWatcher;

    // ---- Size counting (library/size_count.cpp) --------------------------
    // The open counting window; declared last so it closes first when the
    // launcher goes, before anything its count would write to.
    std::shared_ptr<CountingWindow> sizeCountWindow;

    // ======================================================================
    // Application shell
    void run();                      // app/main_loop.cpp
    void enterSleep();               // app/main_loop.cpp
    void drawSleepScreen();          // app/main_loop.cpp
    // Something shown changed outside a window event: draw it with the next frame.
    void requestFrame(FrameReason why);  // app/main_loop.cpp
    // Names when each running animation needs its next frame.
    void scheduleAnimations(sf::Time now);  // app/main_loop.cpp
    // Sleeps until the next scheduled moment or until something happens.
    void waitForWork(sf::Time now);  // app/idle_wait.cpp
    void toggleFullscreen();         // app/display_mode.cpp
    // With no saved position: centred on the work area, wholly on screen.
    void placeWindowOnFirstStart();  // app/display_mode.cpp
    void loadConfig();               // app/config.cpp
    void saveConfig();               // app/config.cpp

    // Game library
    void initGames();                                   // library/game_info.cpp
    void sortGames();                                   // library/sort.cpp
    // Shows what a change of the library view asks for: the text area, the
    // preview, the grid's scroll and focus, and a frame.
    void applyViewChange(const ViewChange& change);     // library/filter.cpp
    void filterGames();                                 // library/filter.cpp
    void handleSearchChange();                          // library/filter.cpp
    void launchGame(int index);                         // library/launch.cpp
    void addGames();                                    // library/import.cpp
    int addGamesFromDirectory(const std::string& folder);  // library/import.cpp
    void importGameStores();                            // library/store_import.cpp
    // Runs `work` behind the waiting pop-up, adds the games it stored to the
    // list and reports their number, or why none could be stored, in a
    // message captioned `caption`.
    void runImport(const std::string& caption, const std::function<StoredGames()>& work);  // library/import.cpp
    void scanDesktopFolder();                           // library/desktop.cpp
    void createDesktopIconTextures();                   // library/desktop.cpp
    void clearDesktopItems();                           // library/desktop.cpp
    void openDesktopItem(std::size_t index);            // library/desktop.cpp
    void showSizeCountingDialog(int index);             // library/size_count.cpp
    // Every main-loop iteration: lets the counting window draw and take its
    // result. While nativeWindowOpen(), input to the main window is discarded.
    void serviceNativeWindows();                        // library/size_count.cpp
    bool nativeWindowOpen() const;                      // library/size_count.cpp
    void setFavorite(int index, bool favorite);         // library/favorite.cpp
    // Runs a write to data.db under the wait cursor. A refused write is said
    // in one message box: `failed` (what did not happen), then the reason.
    WriteOutcome writeLibrary(const std::function<WriteOutcome()>& write,
                              const std::string& failed = "本次更改未能保存。");  // library/favorite.cpp
    void deleteGame(int index);                         // library/delete.cpp
    void startPlayWatch();                              // library/play_watch.cpp
    // Every main-loop iteration: takes the totals the watch has written.
    void collectPlayTime();                             // library/play_watch.cpp
    // True when the header's play time changed (and was laid out again).
    bool applyPlayTotals(const std::unordered_map<std::int64_t, PlayTotals>& totals);  // library/play_watch.cpp

    // Game media
    void createMediaDirectories();                      // media/media_folder.cpp
    void scanGameMediaFolder(const std::string& name);  // media/media_folder.cpp
    void loadCurrentMap();                              // media/loader.cpp
    void checkLoadComplete();                           // media/loader.cpp
    void clearPreview();                                // media/loader.cpp
    void updateTextContent();                           // media/description.cpp
    void updateRichEditText();                          // media/description.cpp
    void updateRichEditPosition();                      // ui/layout.cpp
    void placeSearchBox();                              // ui/layout.cpp
    UiRect textBoxPlace() const;                        // ui/layout.cpp

    // Main window UI
    void render();                                      // ui/render.cpp
    void drawBackground(sf::RenderTarget& target);      // ui/render.cpp
    void drawPictureArea(sf::RenderTarget& target);             // ui/render.cpp
    // Called by render() before presenting: keeps the frame while a GIF plays.
    void keepFrameForPicture(bool gridComplete);        // ui/picture_redraw.cpp
    // Whether the frame due now may be drawn by renderPictureOnly().
    bool pictureOnlyFrame(std::uint32_t dueReasons) const;  // ui/picture_redraw.cpp
    // The kept frame with a fresh picture area on it.
    void renderPictureOnly();                           // ui/picture_redraw.cpp
    // Draws the visible cells; false while a visible icon is still being decoded.
    bool drawGridCells(const GridGeometry& grid, std::size_t count);  // ui/render.cpp
    std::size_t iconTextureCount() const;               // ui/render.cpp
    // Starts decoding the icons of the first screen before the first frame.
    void primeVisibleIcons();                           // ui/render.cpp
    void drawMenus();                                   // ui/render.cpp
    void drawCategoryBar();                             // ui/category_bar.cpp
    // Moves toolbarHeight a step towards the height the shown tag rows need.
    void easeToolbarHeight();                           // ui/category_bar.cpp
    bool handleCategoryBarClick(float x, float y);      // ui/category_bar.cpp
    bool handleCategoryBarWheel(float y, float delta);  // ui/category_bar.cpp
    const CategoryBarLayout& categoryBarLayout() const;  // ui/category_bar.cpp
    CategoryBarView categoryBarView() const;            // ui/category_bar.cpp
    // A new category choice, listed from its first game.
    void applyCategoryState(const CategoryState& state);  // ui/category_bar.cpp
    void chooseTag(int id, bool fromGamepad);           // ui/category_bar.cpp
    void enterDesktopView();                            // ui/category_bar.cpp
    void drawSoftKeyboard();                            // ui/soft_keyboard.cpp
    GridGeometry currentGrid() const;                   // ui/layout.cpp
    Panels panels() const;                              // ui/layout.cpp
    std::size_t visibleCount() const;                   // ui/layout.cpp
    void selectGame(int gameIndex);                     // ui/input.cpp
    void handleLeftPress(float x, float y);             // ui/input.cpp
    void handleRightPress(float x, float y);            // ui/input.cpp
    void handleMouseMove(float x, float y);             // ui/input.cpp
    void handleLeftRelease(float x, float y);           // ui/input.cpp
    void gridContextClick(float x, float y);            // ui/input.cpp
    void openThemeMenu();                               // ui/theme_menu.cpp
    void themeMenuHover(float x, float y);              // ui/theme_menu.cpp
    void drawThemeMenu();                               // ui/theme_menu.cpp
    void chooseTheme(int index);                        // ui/theme_menu.cpp
    void toggleCustomBackground();                      // ui/theme_menu.cpp
    void pickBackgroundPicture();                       // ui/theme_menu.cpp
    void startBackgroundLoad(const std::string& path, BackgroundUse use);  // ui/theme_menu.cpp
    // Every main-loop iteration: takes a decoded background; true when the
    // window changed.
    bool collectBackgroundPicture();                    // ui/theme_menu.cpp
    bool applyBackgroundPicture(BackgroundPicture&& ready);  // ui/theme_menu.cpp
    void performBlankMenuItem(int mainItem, int subItem);  // ui/menus.cpp
    void performIconMenuItem(int item);                 // ui/menus.cpp
    void openIconMenu(float x, float y, int gameIndex); // ui/menus.cpp
    void openBlankMenu(float x, float y);               // ui/menus.cpp
    bool anyMenuOpen() const;                           // ui/menus.cpp
    void closeAllMenus();                               // ui/menus.cpp
    bool openMenuContains(float x, float y) const;      // ui/menus.cpp
    // A left click while a menu is open goes to the menus alone: true then.
    bool handleMenuClick(float x, float y);             // ui/menus.cpp
    void handleEvents();                                // ui/input.cpp
    void handleResize(unsigned width, unsigned height); // ui/layout.cpp
    void handleGamepad();                               // ui/gamepad.cpp
    void updateGamepadFocus();                          // ui/gamepad.cpp
    void quickSwitchCategory(int direction);            // ui/category_bar.cpp
    void updateCategoryExpandState();                   // ui/category_bar.cpp
    void applyGamepadCategoryClick();                   // ui/category_bar.cpp

    // Appearance
    bool loadUIFont();                                  // appearance/fonts.cpp
    bool loadContentFont();                             // appearance/fonts.cpp
    void reloadFont();                                  // appearance/fonts.cpp
    void applyThemeToTextBox();                         // appearance/themes.cpp

    // Native dialogs
    void showSettingsDialog();                          // dialogs/settings_dialog.cpp
    void showGameSettingsDialog(int index);             // dialogs/game_settings_dialog.cpp
    void showCategoryManagerDialog();                   // dialogs/category_manager.cpp
    void showHelpDialog();                              // dialogs/help_dialog.cpp

    // Shared helpers
    unsigned long nativeHandle() const;                 // app/launcher.cpp
    // Input that reached the window while a modal dialog ran is discarded; a
    // resize or close request is still honoured.
    void discardInputAfterModal();                      // ui/input.cpp
    // Runs as a dialog starts to close, while it is still shown.
    void drainInputBeforeDialogCloses();                // ui/input.cpp
};

}  // namespace ludexa
