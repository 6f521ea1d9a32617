// handleEvents(): every pending window event turned into launcher state.
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cmath>

#include "app/GameLauncher.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"
#include "ui/drag.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/widgets/scrollbar.h"

namespace ludexa {
namespace {

bool ctrlHeld() {
    return sf::Keyboard::isKeyPressed(sf::Keyboard::LControl) || sf::Keyboard::isKeyPressed(sf::Keyboard::RControl);
}

// Text offsets count every character except carriage returns.
int textOffsetLength(const std::wstring& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](wchar_t c) { return c != L'\r'; }));
}

}  // namespace

void GameLauncher::selectGame(int gameIndex) {
    applyViewChange(library.select(gameIndex));
}

void GameLauncher::handleEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        frames.request(FrameReason::Input);
        if (event.type == sf::Event::TextEntered || event.type == sf::Event::KeyPressed ||
            event.type == sf::Event::MouseButtonPressed)
            idleClock.restart();
        const GridGeometry grid = currentGrid();
        const Panels p = panels();
        const float gridTop = p.gridTop();
        const float textTop = textBoxRect(p).y;

        switch (event.type) {
            case sf::Event::Closed:
                saveConfig();
                window.close();
                return;

            case sf::Event::Resized:
                handleResize(event.size.width, event.size.height);
                break;

            case sf::Event::TextEntered: {
                if (!searchBox.focused) break;
                const auto ch = static_cast<wchar_t>(event.text.unicode);
                // X11 reports Delete, Escape and Tab as text too: only
                // Backspace of all the control characters edits the box.
                if (ch != 8 && !isTypedTextCharacter(event.text.unicode)) break;
                bool changed = false;
                if (ch == 8) {
                    if (searchBox.cursorPos > 0 && searchBox.cursorPos <= searchBox.text.size()) {
                        searchBox.text.erase(searchBox.cursorPos - 1, 1);
                        --searchBox.cursorPos;
                        changed = true;
                    }
                } else {
                    searchBox.cursorPos = std::min(searchBox.cursorPos, searchBox.text.size());
                    searchBox.text.insert(searchBox.cursorPos, 1, ch);
                    ++searchBox.cursorPos;
                    changed = true;
                }
                searchBox.adjustScroll();
                if (changed) handleSearchChange();
                break;
            }

            case sf::Event::KeyPressed: {
                const auto key = event.key.code;
                if (key == sf::Keyboard::Escape) {
                    // As with any pop-up menu, Escape closes the open menu only.
                    if (anyMenuOpen()) {
                        closeAllMenus();
                        break;
                    }
                    saveConfig();
                    window.close();
                    return;
                }
                if (event.key.control && key == sf::Keyboard::A) {
                    textBox.selStart = 0;
                    textBox.selEnd = textOffsetLength(textBox.text);
                    break;
                }
                if (event.key.control && key == sf::Keyboard::C) {
                    textBox.copySelection();
                    break;
                }
                if (searchBox.focused) {
                    if (event.key.control && key == sf::Keyboard::V) {
                        const auto before = searchBox.text;
                        searchBox.pasteFromClipboard();
                        if (searchBox.text != before) handleSearchChange();
                        break;
                    }
                    if (key == sf::Keyboard::Home || key == sf::Keyboard::End) {
                        searchBox.cursorPos = key == sf::Keyboard::Home ? 0 : searchBox.text.size();
                        searchBox.adjustScroll();
                        break;
                    }
                    if (key == sf::Keyboard::Delete) {
                        if (searchBox.cursorPos < searchBox.text.size()) {
                            searchBox.text.erase(searchBox.cursorPos, 1);
                            searchBox.adjustScroll();
                            handleSearchChange();
                        }
                        break;
                    }
                    if (key == sf::Keyboard::Enter) searchBox.focused = false;
                }
                if (key == sf::Keyboard::Enter) {
                    if (!library.desktopMode()) launchGame(library.selectedIndex());
                    break;
                }
                NavKey nav;
                bool isNav = true;
                switch (key) {
                    case sf::Keyboard::Left: nav = NavKey::Left; break;
                    case sf::Keyboard::Right: nav = NavKey::Right; break;
                    case sf::Keyboard::Up: nav = NavKey::Up; break;
                    case sf::Keyboard::Down: nav = NavKey::Down; break;
                    default: isNav = false; nav = NavKey::Left; break;
                }
                if (isNav) {
                    const int count = static_cast<int>(visibleCount());
                    if (count == 0) break;
                    int position;
                    if (library.desktopMode()) {
                        position = std::max(0, focusIndex);
                    } else {
                        position = library.selectedPosition();
                    }
                    const int next = navigatePosition(position, nav, grid.columns, count);
                    if (next < 0) break;
                    focusIndex = next;
                    if (library.desktopMode()) {
                        updateTextContent();
                    } else {
                        selectGame(static_cast<int>(library.filteredIndices()[static_cast<std::size_t>(next)]));
                    }
                    gridInput.scrollOffset = scrollToShowKeyboard(grid, next, windowHeight - gridTop, gridInput.scrollOffset);
                    break;
                }
                const bool typingKey = (key >= sf::Keyboard::A && key <= sf::Keyboard::Z) ||
                                       (key >= sf::Keyboard::Num0 && key <= sf::Keyboard::Num9) ||
                                       (key >= sf::Keyboard::Numpad0 && key <= sf::Keyboard::Numpad9) ||
                                       key == sf::Keyboard::Backspace;
                if (!searchBox.focused && typingKey && !event.key.control && !event.key.alt) {
                    searchBox.focused = true;
                    searchBox.cursorPos = std::min(searchBox.cursorPos, searchBox.text.size());
                }
                break;
            }

            case sf::Event::MouseWheelScrolled: {
                if (event.mouseWheelScroll.wheel != sf::Mouse::VerticalWheel) break;
                const float x = static_cast<float>(event.mouseWheelScroll.x);
                const float y = static_cast<float>(event.mouseWheelScroll.y);
                const float d = event.mouseWheelScroll.delta;
                const bool ctrl = ctrlHeld();
                if (handleCategoryBarWheel(y, d)) break;
                if (x >= 0 && x < leftPanelWidth && y >= textTop) {
                    if (ctrl) {
                        const int step = d > 0 ? 1 : d < 0 ? -1 : 0;
                        contentFontSize = std::clamp(contentFontSize + step, std::max(10, settings.fontSize - 6),
                                                     std::min(30, settings.fontSize + 10));
                        textBox.charSize = static_cast<unsigned>(contentFontSize);
                        textBox.buildLines();
                    } else {
                        textBox.scrollOffset = std::clamp(textBox.scrollOffset - textBox.lineHeight() * d * 3, 0.0f,
                                                          textBox.maxWheelScroll());
                    }
                } else if (x > p.gridLeft() && y > gridTop) {
                    if (ctrl) {
                        const int step = d > 0 ? 1 : d < 0 ? -1 : 0;
                        const int level = std::clamp(settings.iconSize + step, 0, 5);
                        if (level != settings.iconSize) {
                            settings.iconSize = level;
                            saveConfig();
                        }
                    } else {
                        gridInput.scrollOffset = std::clamp(gridInput.scrollOffset - d * 30, 0.0f, std::max(0.0f, gridInput.maxScroll));
                    }
                }
                break;
            }

            case sf::Event::MouseButtonPressed: {
                const float x = static_cast<float>(event.mouseButton.x);
                const float y = static_cast<float>(event.mouseButton.y);
                if (event.mouseButton.button == sf::Mouse::Left) {
                    handleLeftPress(x, y);
                } else if (event.mouseButton.button == sf::Mouse::Right) {
                    handleRightPress(x, y);
                }
                break;
            }

            case sf::Event::MouseMoved:
                handleMouseMove(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y));
                break;

            case sf::Event::MouseButtonReleased:
                if (event.mouseButton.button == sf::Mouse::Left)
                    handleLeftRelease(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y));
                break;

            default:
                break;
        }
        if (!window.isOpen()) return;
    }
}

void GameLauncher::handleLeftPress(float x, float y) {
    const GridGeometry grid = currentGrid();
    const Panels p = panels();

    // 1-2. An open menu takes the click, whatever it lands on.
    if (handleMenuClick(x, y)) return;

    // 3. Toolbar buttons (edges included) and the title-area buttons.
    if (const auto button = toolbarButtonAt(x, y)) {
        switch (*button) {
            case ToolbarButton::Help: return showHelpDialog();
            case ToolbarButton::Settings: return showSettingsDialog();
            case ToolbarButton::Theme: return openThemeMenu();
            case ToolbarButton::Sleep:
                settings.sleepEnabled = !settings.sleepEnabled;
                if (!settings.sleepEnabled) isSleeping = false;
                idleClock.restart();
                saveConfig();
                return;
            case ToolbarButton::AddGames: return addGames();
            case ToolbarButton::CreateMedia: return createMediaDirectories();
            case ToolbarButton::ManageCategories: return showCategoryManagerDialog();
        }
    }
    if (const TitleButton title = titleButtonAt(x, y, windowWidth, fullscreen != 0); title != TitleButton::None) {
        titleButtonPressed = static_cast<int>(title);
        return;
    }

    // 4. Category tags.
    if (handleCategoryBarClick(x, y)) return;

    // 5. The search box takes or loses the focus; this does not end the click.
    //    (Its paste menu, when open, took the click above.)
    if (searchBox.contains(x, y)) {
        searchBox.focused = true;
        searchBox.setCursorFromMouse(x);
    } else {
        searchBox.focused = false;
    }

    // 6. The text box: its scrollbar, or the start of a selection.
    if (textBox.contains(x, y)) {
        textBox.press(x, y);
        return;
    }

    // 7. The grid scrollbar's thumb.
    if (gridInput.maxScroll > 0 && onGridScrollThumb(p, grid.contentHeight(visibleCount()), gridInput.scrollOffset, x, y)) {
        gridInput.draggingScrollbar = true;
        gridInput.scrollDragStartY = y;
        gridInput.scrollDragStartOffset = gridInput.scrollOffset;
        return;
    }

    // 8. Splitters, with 10 pixels of tolerance.
    if (const Splitter splitter = splitterAt(p, x, y); splitter != Splitter::None) {
        draggedSplitter = splitter;
        splitterPressAt = splitter == Splitter::Panel ? x : y;
        splitterPressSize = splitterSize(p, splitter);
        return;
    }

    // 9. The picture area's arrows.
    const UiRect picture = pictureArea(p);
    if (mapVisible && !mapFiles.empty() && x >= picture.x && x < picture.x + picture.w && y >= picture.y &&
        y < picture.y + picture.h) {
        const int count = static_cast<int>(mapFiles.size());
        if (pictureArrow(p, false).contains(x, y) && currentMapIndex > 0) {
            currentMapIndex = (currentMapIndex - 1 + count) % count;
            loadCurrentMap();
            return;
        }
        if (pictureArrow(p, true).contains(x, y) && currentMapIndex < count - 1) {
            currentMapIndex = (currentMapIndex + 1) % count;
            loadCurrentMap();
            return;
        }
    }

    // 10. A press in the grid; the selection happens on release.
    if (gridTakesPress(p, x, y)) {
        searchBox.focused = false;
        textBox.scrollOffset = 0;
        textBox.focused = false;
        gridInput.pressState = 1;
        gridInput.pressPos = {x, y};
        gridInput.pressScroll = gridInput.scrollOffset;
        gridInput.lastDragPos = {x, y};
        gridInput.dragClock.restart();
        gridInput.pressClock.restart();
        gridInput.flingVelocity = 0;
        gridInput.flingActive = false;
    }
}

void GameLauncher::handleRightPress(float x, float y) {
    const Panels p = panels();
    const float textTop = textBoxRect(p).y;
    // As on a desktop: a right click on the open menu itself does nothing;
    // anywhere else the open menu closes and the click opens the menu of the
    // place it landed on (a left click outside only closes).
    if (anyMenuOpen()) {
        if (openMenuContains(x, y)) return;
        closeAllMenus();
    }

    if (x >= 0 && x < leftPanelWidth && y >= textTop) {
        if (textBox.selStart != textBox.selEnd) {
            menus.copyOpen = true;
            menus.copyPos = {std::max(0.0f, std::min(x, windowWidth - kCopyMenuWidth)),
                           std::max(0.0f, std::min(y, windowHeight - kMenuItemHeight))};
        }
        return;
    }
    if (gridTakesPress(p, x, y)) {
        gridContextClick(x, y);
        return;
    }
    if (searchBox.contains(x, y)) {
        searchBox.focused = true;
        searchBox.contextMenuVisible = true;
        searchBox.contextMenuPos = {x, y};
    }
}

// A right click in the grid, or a long press there.
void GameLauncher::gridContextClick(float x, float y) {
    const GridGeometry grid = currentGrid();
    const int hit = grid.hitTest(x, y, gridInput.scrollOffset, visibleCount());
    if (hit >= 0) {
        if (library.desktopMode()) {
            focusIndex = hit;
            updateTextContent();
        } else {
            openIconMenu(x, y, static_cast<int>(library.filteredIndices()[static_cast<std::size_t>(hit)]));
            focusIndex = hit;
        }
        return;
    }
    openBlankMenu(x, y);
}

void GameLauncher::handleMouseMove(float x, float y) {
    const Panels p = panels();
    const float textTop = textBoxRect(p).y;

    textBox.drag(x, y);

    const bool inTextBox = x >= 0 && x < leftPanelWidth && y >= textTop && y < windowHeight;
    if (inTextBox != lastInTextBox) {
        lastInTextBox = inTextBox;
        window.setMouseCursor(inTextBox ? textCursor : arrowCursor);
    }

    if (draggedSplitter != Splitter::None) {
        const float size = splitterAfterDrag(p, draggedSplitter, splitterPressSize,
                                             (draggedSplitter == Splitter::Panel ? x : y) - splitterPressAt);
        if (draggedSplitter == Splitter::Toolbar) toolbarHeight = size;
        if (draggedSplitter == Splitter::Panel) leftPanelWidth = size;
        if (draggedSplitter == Splitter::Text) leftTopHeight = size;
        // The text box follows the drag, not only the release.
        if (draggedSplitter != Splitter::Toolbar) updateRichEditPosition();
    } else if (gridInput.draggingScrollbar) {
        const float track = gridScrollTrack(p).h;
        if (gridInput.maxScroll > 0)
            gridInput.scrollOffset = scrollAfterThumbDrag(track, gridInput.maxScroll + track, gridInput.scrollDragStartOffset,
                                                    y - gridInput.scrollDragStartY);
    } else if (gridInput.pressState == 1) {
        if (gridPressBecomesDrag(x - gridInput.pressPos.x, y - gridInput.pressPos.y)) gridInput.pressState = 2;
    }
    if (gridInput.pressState == 2 && draggedSplitter == Splitter::None && !gridInput.draggingScrollbar) {
        gridInput.scrollOffset = gridDragScroll(gridInput.pressScroll, y - gridInput.pressPos.y, gridInput.maxScroll);
        gridInput.flingVelocity = flingVelocity(gridInput.flingVelocity, y - gridInput.lastDragPos.y,
                                          static_cast<int>(gridInput.dragClock.restart().asMilliseconds()));
        gridInput.lastDragPos = {x, y};
    }

    if (menus.blankOpen) {
        const auto hover = blankMenuHover({menus.blankHoverItem, menus.blankSubmenuOpen, menus.blankSubmenuHoverItem}, menus.blankPos, x,
                                          y, {windowWidth, windowHeight});
        menus.blankHoverItem = hover.mainItem;
        menus.blankSubmenuOpen = hover.submenuOpen;
        menus.blankSubmenuHoverItem = hover.subItem;
    }
    if (menus.iconOpen) menus.iconHoverItem = menuItemAt(menus.iconPos, kIconMenuWidth, kIconMenuItems, x, y);
    if (menus.copyOpen) menus.copyHover = menuItemAt(menus.copyPos, kCopyMenuWidth, 1, x, y) == 0;
    themeMenuHover(x, y);
}

void GameLauncher::handleLeftRelease(float x, float y) {
    textBox.release();

    if (titleButtonPressed != 0) {
        // A title button acts when the press and the release are both on it.
        const auto pressed = static_cast<TitleButton>(titleButtonPressed);
        titleButtonPressed = 0;
        if (titleButtonAt(x, y, windowWidth, fullscreen != 0) == pressed) {
            if (pressed == TitleButton::DisplayMode) {
                toggleFullscreen();
            } else if (pressed == TitleButton::Minimize) {
                minimizeWindow(nativeHandle());
            } else if (pressed == TitleButton::Close) {
                saveConfig();
                window.close();
                return;
            }
        }
    }

    const GridGeometry grid = currentGrid();
    if (gridInput.pressState == 1) {
        if (gridInput.pressClock.getElapsedTime().asSeconds() >= 2.0f) {
            gridContextClick(x, y);
        } else if (gridTakesPress(panels(), x, y)) {
            const int hit = grid.hitTest(x, y, gridInput.scrollOffset, visibleCount());
            if (hit >= 0 && !library.desktopMode()) {
                const int game = static_cast<int>(library.filteredIndices()[static_cast<std::size_t>(hit)]);
                if (game == gridInput.lastClickedGame && gridInput.lastClickClock.getElapsedTime().asMilliseconds() <= 499) {
                    launchGame(game);
                } else {
                    selectGame(game);
                    focusIndex = hit;
                }
                gridInput.lastClickedGame = game;
                gridInput.lastClickClock.restart();
            } else if (hit >= 0) {
                if (hit == lastDesktopClicked && lastDesktopClickClock.getElapsedTime().asMilliseconds() <= 499) {
                    openDesktopItem(static_cast<std::size_t>(hit));
                } else {
                    focusIndex = hit;
                    updateTextContent();
                }
                lastDesktopClicked = hit;
                lastDesktopClickClock.restart();
            }
        }
    } else if (gridInput.pressState == 2) {
        if (flingStarts(gridInput.flingVelocity)) gridInput.flingActive = true;
    }
    gridInput.pressState = 0;

    const bool anyDrag = draggedSplitter != Splitter::None || gridInput.draggingScrollbar;
    if (draggedSplitter == Splitter::Panel) settings.leftPanelWidthRatio = leftPanelWidth / windowWidth;
    if (draggedSplitter == Splitter::Text) settings.leftTopHeightRatio = leftTopHeight / (windowHeight - grid.top);
    draggedSplitter = Splitter::None;
    gridInput.draggingScrollbar = false;
    if (anyDrag) updateRichEditPosition();
}

void GameLauncher::drainInputBeforeDialogCloses() {
    if (!window.isOpen()) return;
    // A round trip to the X server (the position query) first: everything the
    // server sent before the dialog began to close is then in the queue, and
    // nothing that comes after it is.
    (void)window.getPosition();
    sf::Event event;
    while (window.pollEvent(event)) {
        frames.request(FrameReason::Input);
        if (event.type == sf::Event::Closed) {
            saveConfig();
            window.close();
            return;
        }
        if (event.type == sf::Event::Resized) handleResize(event.size.width, event.size.height);
    }
    inputDrainedAtDialogClose = true;
}

void GameLauncher::discardInputAfterModal() {
    // Usually the input was drained while the dialog was still on screen
    // (drainInputBeforeDialogCloses); what came after that is the user's next
    // click and is kept. Without that, everything pending is dropped here.
    if (!inputDrainedAtDialogClose) drainInputBeforeDialogCloses();
    inputDrainedAtDialogClose = false;
    if (!window.isOpen()) return;
    // The buttons were released inside the dialog; no drag may continue.
    gridInput.pressState = 0;
    textBox.release();
    draggedSplitter = Splitter::None;
    gridInput.draggingScrollbar = false;
    titleButtonPressed = 0;
}

}  // namespace ludexa
