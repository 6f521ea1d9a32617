// render(): one complete frame of the main window, drawn back to front.
#include <algorithm>
#include <cmath>

#include "app/GameLauncher.h"
#include "app/frame_observer.h"
#include "appearance/themes.h"
#include "library/desktop.h"
#include "platform/text.h"
#include "ui/draw.h"
#include "ui/layout.h"
#include "ui/menus.h"
#include "ui/widgets/scrollbar.h"

namespace ludexa {

FrameObserver g_frameObserver = nullptr;

namespace {

const char kEmptyLibraryHint[] = "点击「添加游戏」，选择放有游戏快捷方式的文件夹";
const char kEmptyLibraryHintWrapped[] = "点击「添加游戏」，\n选择放有游戏快捷方式的文件夹";

void drawMenuItem(sf::RenderTarget& target, const sf::Font& font, float x, float y, float w, const std::string& label,
                  sf::Color fill, sf::Color labelColor) {
    outlinedRect(target, x, y, w, kMenuItemHeight, fill, kMenuItem.outline);
    auto text = makeText(label, font, 14, labelColor);
    text.setPosition(x + 12, y + 9);
    target.draw(text);
}

}  // namespace

void GameLauncher::render() {
    // The toolbar eases towards the height its shown tag rows need; the text
    // box follows every change of the panels above it (the easing, the
    // splitters, a new picture) before anything is drawn.
    easeToolbarHeight();
    if (const UiRect place = textBoxPlace();
        textBox.y != place.y || textBox.width != place.w || textBox.height != place.h)
        updateRichEditPosition();

    const Theme& theme = themeAt(settings.themeIndex);
    const sf::Color panel = settings.useCustomBackground ? kCustomBackgroundPanel : theme.panelColor;
    const Panels p = panels();
    const GridGeometry grid = currentGrid();
    const UiRect gridRect = gridArea(p);
    const float gridTop = gridRect.y;
    const float gridLeft = gridRect.x;
    const float gridHeight = gridRect.h;
    const auto fill = [this](const UiRect& r, sf::Color colour) { fillRect(window, r.x, r.y, r.w, r.h, colour); };

    iconCache->beginFrame();
    window.clear(kWindowClear);

    drawBackground(window);
    drawPictureArea(window);
    fill(textSplitter(p), theme.borderColor);

    textBox.draw(window);

    // Icon grid.
    fill(gridRect, panel);
    const std::size_t count = library.desktopMode() ? desktopItems.size() : library.filteredIndices().size();
    const float contentHeight = grid.contentHeight(count);
    gridInput.maxScroll = gridMaxScrollFor(contentHeight, gridHeight);
    if (gridInput.scrollOffset > gridInput.maxScroll) gridInput.scrollOffset = gridInput.maxScroll;
    bool gridComplete = true;
    {
        ClipScope clip(window, gridRect.x, gridRect.y, gridRect.w, gridRect.h);
        gridComplete = drawGridCells(grid, count);
    }

    if (!library.desktopMode() && library.games().empty()) {
        // A new user's first look: say how the grid gets filled.
        const sf::Color hintColour = settings.useCustomBackground ? kCustomBackgroundText : theme.hintColor;
        auto hint = makeText(kEmptyLibraryHint, uiFont, 16, hintColour);
        const float room = windowWidth - gridLeft - 40;
        if (hint.getLocalBounds().width > room) hint = makeText(kEmptyLibraryHintWrapped, uiFont, 16, hintColour);
        centreText(hint, gridLeft + (windowWidth - gridLeft) / 2, gridTop + std::min(gridHeight / 2, 160.0f));
        window.draw(hint);
    }

    if (gridInput.maxScroll > 0) {
        fill(gridScrollTrack(p), panel);
        fill(gridScrollThumb(p, contentHeight, gridInput.scrollOffset), theme.scrollThumbColor);
    }

    // Splitters and frame lines.
    const float frame = kSplitter;
    fill(panelSplitter(p), theme.borderColor);
    fill(textSplitter(p), theme.borderColor);
    fillRect(window, gridLeft, windowHeight - frame, windowWidth - gridLeft, frame, theme.borderColor);
    fillRect(window, 0, 0, frame, windowHeight, theme.borderColor);
    fillRect(window, windowWidth - frame, 0, frame, windowHeight, theme.borderColor);
    fillRect(window, 0, windowHeight - frame, windowWidth, frame, theme.borderColor);

    // Toolbar band, its buttons and the category bar, clipped to the band.
    fillRect(window, 0, 0, windowWidth, toolbarHeight, panel);
    {
    ClipScope clip(window, 0, 0, windowWidth, toolbarHeight);
    fillRect(window, 0, 0, frame, toolbarHeight, theme.borderColor);
    fillRect(window, windowWidth - frame, 0, frame, toolbarHeight, theme.borderColor);
    for (int b = 0; b < kToolbarButtonCount; ++b) {
        const auto button = static_cast<ToolbarButton>(b);
        // The sleep switch is coloured by its state.
        const bool sleepOff = button == ToolbarButton::Sleep && !settings.sleepEnabled;
        const ButtonColors& colours = sleepOff ? kSleepOffColors : kToolbarButtonColors[b];
        const sf::Color labelColor = button != ToolbarButton::Sleep ? kToolbarLabel
                                     : settings.sleepEnabled         ? sf::Color::White
                                                                     : kSleepOffLabel;
        const UiRect r = toolbarButtonRect(button);
        outlinedRect(window, r.x, r.y, r.w, r.h, colours.fill, colours.outline);
        auto label = makeText(toolbarButtonLabel(button), uiFont, 14, labelColor);
        centreText(label, r.centreX(), r.centreY());
        window.draw(label);
    }
    drawCategoryBar();
    }

    // Search box colours follow the theme every frame.
    {
        const SearchBoxColors colours = searchBoxColorsFor(theme, settings.useCustomBackground);
        searchBox.bgColor = colours.bgColor;
        searchBox.borderColor = colours.borderColor;
        searchBox.focusBorderColor = colours.focusBorderColor;
        searchBox.textColor = colours.textColor;
        searchBox.placeholderColor = colours.placeholderColor;
    }

    // Title-area buttons.
    {
        static const char* const kModeLabel[3] = {"无框", "全屏", "窗口"};
        const int mode = std::clamp(fullscreen, 0, 2);
        const UiRect r = titleButtonRect(TitleButton::DisplayMode, windowWidth);
        outlinedRect(window, r.x, r.y, r.w, r.h, kDisplayModeColors[mode].fill, kDisplayModeColors[mode].outline);
        auto label = makeText(kModeLabel[mode], uiFont, 13, sf::Color::White);
        centreText(label, r.centreX(), r.centreY());
        window.draw(label);
        if (fullscreen != 0) {
            const UiRect m = titleButtonRect(TitleButton::Minimize, windowWidth);
            outlinedRect(window, m.x, m.y, m.w, m.h, kMinimizeColors.fill, kMinimizeColors.outline);
            fillRect(window, m.x + 9, m.y + 12, 12, 2, sf::Color::White);
            const UiRect c = titleButtonRect(TitleButton::Close, windowWidth);
            outlinedRect(window, c.x, c.y, c.w, c.h, kCloseColors.fill, kCloseColors.outline);
            auto close = makeText("×", uiFont, 16, sf::Color::White);
            centreText(close, c.centreX(), c.centreY());
            window.draw(close);
        }
    }

    searchBox.draw(window);
    fill(toolbarSplitter(p), theme.borderColor);
    drawSoftKeyboard();
    // The open menu last: nothing is ever drawn over it.
    drawMenus();
    drawThemeMenu();
    keepFrameForPicture(gridComplete);
    window.display();
    if (g_frameObserver) g_frameObserver(*this, FrameReport{gridComplete});
}

// Custom background, scaled to cover the window and centred.
void GameLauncher::drawBackground(sf::RenderTarget& target) {
    if (settings.useCustomBackground && backgroundTexture.getSize().x > 0 && backgroundTexture.getSize().y > 0) {
        const auto size = backgroundTexture.getSize();
        const float scale = std::max(windowWidth / static_cast<float>(size.x), windowHeight / static_cast<float>(size.y));
        sf::Sprite background(backgroundTexture);
        background.setScale(scale, scale);
        background.setPosition((windowWidth - static_cast<float>(size.x) * scale) / 2,
                               (windowHeight - static_cast<float>(size.y) * scale) / 2);
        target.draw(background);
    }
}

// The picture area: the picture or its caption, the arrows and the counter.
void GameLauncher::drawPictureArea(sf::RenderTarget& target) {
    const Theme& theme = themeAt(settings.themeIndex);
    const sf::Color panel = settings.useCustomBackground ? kCustomBackgroundPanel : theme.panelColor;
    const Panels p = panels();
    const UiRect area = pictureArea(p);
    fillRect(target, area.x, area.y, area.w, area.h, panel);
    const float gridTop = area.y;
    const float pictureCentreY = area.centreY();
    if (mapFiles.empty() || !mapVisible) {
        const Settings& s = settings;
        const bool anyFormat = s.fmtJpg || s.fmtPng || s.fmtBmp || s.fmtWebp || s.fmtAvif || s.fmtGif;
        auto caption = library.desktopMode() ? makeText("桌面模式", uiFont, 24, theme.hintColor)
                       : anyFormat ? makeText("图片预览区\n(暂无图片)", uiFont, 18, theme.hintColor)
                                   : makeText("未设置图片/动画格式", uiFont, 18, theme.hintColor);
        centreText(caption, leftPanelWidth / 2, pictureCentreY);
        target.draw(caption);
    } else {
        if (previewIsGif && previewGif.frameDue()) previewGif.updateTexture(previewTexture);
        const auto size = previewTexture.getSize();
        if (size.x > 0 && size.y > 0) {
            sf::Sprite picture(previewTexture);
            const float scale = leftPanelWidth / static_cast<float>(size.x);
            picture.setScale(scale, scale);
            picture.setPosition(0, gridTop);
            target.draw(picture);
        } else if (!previewProblem.empty()) {
            auto caption = makeText(previewProblem, uiFont, 18, theme.hintColor);
            centreText(caption, leftPanelWidth / 2, pictureCentreY);
            target.draw(caption);
        } else if (loadingText) {
            target.draw(*loadingText);
        }
        const int count = static_cast<int>(mapFiles.size());
        auto arrow = [&](bool next) {
            const Disc disc = pictureArrow(p, next);
            const float left = disc.cx - disc.r, top = disc.cy - disc.r;
            sf::CircleShape circle(disc.r);
            circle.setPosition(left, top);
            circle.setFillColor(kArrowDisc);
            target.draw(circle);
            // The point towards the picture it leads to: 20 wide, 30 high.
            const float back = next ? left + 20 : left + 40, tip = next ? left + 40 : left + 20;
            sf::ConvexShape triangle(3);
            triangle.setPoint(0, {back, top + 15});
            triangle.setPoint(1, {tip, top + 30});
            triangle.setPoint(2, {back, top + 45});
            triangle.setFillColor(kArrowMark);
            target.draw(triangle);
        };
        if (currentMapIndex > 0) arrow(false);
        if (currentMapIndex < count - 1) arrow(true);
        // Light on its dark plate whatever the theme: a light theme's dark
        // text colour would vanish on it.
        auto counter = makeText(std::to_string(currentMapIndex + 1) + "/" + std::to_string(count), uiFont, 16,
                                kCounterText);
        const float counterWidth = counter.getLocalBounds().width + 20;
        fillRect(target, (leftPanelWidth - counterWidth) / 2, gridTop + leftTopHeight - 40, counterWidth, 30,
                 kCounterPlate);
        counter.setPosition(std::floor((leftPanelWidth - counter.getLocalBounds().width) / 2 -
                                       counter.getLocalBounds().left),
                            gridTop + leftTopHeight - 35);
        target.draw(counter);
    }
}

void GameLauncher::primeVisibleIcons() {
    if (library.desktopMode() || library.filteredIndices().empty()) return;
    const GridGeometry grid = currentGrid();
    const auto columns = static_cast<std::size_t>(grid.columns);
    const auto firstRow = static_cast<std::size_t>(std::max(0.0f, gridInput.scrollOffset / grid.rowHeight()));
    const auto rows = static_cast<std::size_t>((windowHeight - grid.top) / grid.rowHeight()) + 2;
    const std::size_t end = std::min(library.filteredIndices().size(), (firstRow + rows) * columns);
    std::vector<std::int64_t> ids;
    for (std::size_t i = firstRow * columns; i < end; ++i) {
        const GameInfo& game = library.games()[library.filteredIndices()[i]];
        if (game.hasIconBlob) ids.push_back(game.id);
    }
    iconCache->want(std::move(ids));
}

std::size_t GameLauncher::iconTextureCount() const { return iconCache ? iconCache->textureCount() : 0; }

bool GameLauncher::drawGridCells(const GridGeometry& grid, std::size_t count) {
    // Icons still to decode for the cells of this frame, top row first.
    std::vector<std::int64_t> wanted;
    struct WantIcons {
        IconCache& cache;
        std::vector<std::int64_t>& ids;
        ~WantIcons() { cache.want(std::move(ids)); }
    } want{*iconCache, wanted};
    if (count == 0) return true;
    const float gridTop = grid.top;
    const float gridBottom = windowHeight;
    const float rowHeight = grid.rowHeight();
    const unsigned labelSize = static_cast<unsigned>(labelCharSize(settings.iconSize, settings.fontSize));
    const float labelWidth = grid.gap + grid.iconPx - 4;
    const sf::Color normalLabel = settings.useCustomBackground ? kCustomBackgroundText : themeAt(settings.themeIndex).textColor;
    auto measure = [&](const std::string& s) {
        return sf::Text(sf::String(utf8ToWstring(s)), contentFont, labelSize).getLocalBounds().width;
    };
    // An icon centred on the square at (x, y), scaled uniformly: a game's icon
    // covers the square (it may overhang), a desktop item's fits inside it.
    auto drawIcon = [&](const sf::Texture& texture, float x, float y, bool cover) {
        const auto size = texture.getSize();
        const float sx = grid.iconPx / static_cast<float>(size.x), sy = grid.iconPx / static_cast<float>(size.y);
        const float scale = cover ? std::max(sx, sy) : std::min(sx, sy);
        sf::Sprite icon(texture);
        icon.setScale(scale, scale);
        icon.setPosition(x + (grid.iconPx - static_cast<float>(size.x) * scale) / 2,
                         y + (grid.iconPx - static_cast<float>(size.y) * scale) / 2);
        window.draw(icon);
    };
    // The label lines under the icon square of a cell whose top is at y.
    auto drawLabel = [&](const std::vector<std::string>& lines, float centreX, float y, bool highlighted) {
        for (std::size_t j = 0; j < lines.size(); ++j) {
            auto label = makeText(lines[j], contentFont, labelSize, highlighted ? sf::Color::White : normalLabel);
            const auto b = label.getLocalBounds();
            label.setPosition(std::floor(centreX - b.width / 2 - b.left),
                              y + grid.iconPx + 5 + static_cast<float>(j) * static_cast<float>(labelSize + 3));
            window.draw(label);
        }
    };

    // Only the rows that reach into the band [gridTop - 100, bottom + 100].
    const float firstY = gridTop + 15 - gridInput.scrollOffset;
    const auto columns = static_cast<std::size_t>(grid.columns);
    const long long firstRow = std::max(0LL, static_cast<long long>(std::floor((gridTop - 100 - rowHeight - firstY) / rowHeight)));
    const long long lastRow = static_cast<long long>(std::floor((gridBottom + 100 - firstY) / rowHeight));
    for (long long row = firstRow; row <= lastRow; ++row) {
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t i = static_cast<std::size_t>(row) * columns + c;
            if (i >= count) return wanted.empty();
            const float x = grid.cellX(i), y = grid.cellY(i, gridInput.scrollOffset);
            if (y + grid.iconPx + grid.labelH < gridTop - 100 || y > gridBottom + 100) continue;
            const float centreX = x + grid.iconPx / 2;

            std::string name;
            bool highlighted = false;
            if (library.desktopMode()) {
                const auto& item = desktopItems[i];
                name = wstringToUtf8(item.label);
                highlighted = static_cast<int>(i) == focusIndex;
                if (highlighted)
                    fillRect(window, x - 4, y - 4, grid.iconPx + 8, grid.iconPx + grid.labelH + 8, kDesktopFocus);
                if (item.texture && item.texture->getSize().x > 0 && item.texture->getSize().y > 0)
                    drawIcon(*item.texture, x, y, false);
            } else {
                const std::size_t gameIndex = library.filteredIndices()[i];
                if (gameIndex >= library.games().size()) continue;
                const GameInfo& game = library.games()[gameIndex];
                name = game.name;
                highlighted = static_cast<int>(gameIndex) == library.selectedIndex();
                const auto lines = breakLabel(name, labelWidth, measure);
                if (highlighted) {
                    outlinedRect(window, x - 6, y - 4, grid.iconPx + 12,
                                 grid.iconPx + 5 + static_cast<float>(lines.size()) * static_cast<float>(labelSize + 3) + 6,
                                 kSelectionFrame.fill, kSelectionFrame.outline, 2);
                }
                const ButtonColors& square = highlighted ? kIconSquareSelected : kIconSquare;
                outlinedRect(window, x, y, grid.iconPx, grid.iconPx, square.fill, square.outline);
                // A blob still being decoded leaves the square empty: never the
                // fallback letter, never another game's icon.
                const auto state = game.hasIconBlob ? iconCache->state(game.id) : IconCache::State::Failed;
                if (state == IconCache::State::Unknown) {
                    wanted.push_back(game.id);
                } else if (state == IconCache::State::Ready) {
                    library.editGames()[gameIndex].hasIcon = true;
                    drawIcon(*iconCache->texture(game.id), x, y, true);
                } else {
                    library.editGames()[gameIndex].hasIcon = false;
                    const std::string first = name.empty() ? "?" : name.substr(0, utf8SequenceLength(name, 0));
                    auto letter = makeText(first, contentFont, static_cast<unsigned>(grid.iconPx / 2), kFallbackLetter);
                    centreText(letter, centreX, y + grid.iconPx / 2);
                    window.draw(letter);
                }
                drawLabel(lines, centreX, y, highlighted);
                continue;
            }
            // Desktop items: the label under the icon.
            drawLabel(breakLabel(name, labelWidth, measure), centreX, y, highlighted);
        }
    }
    return wanted.empty();
}

void GameLauncher::drawMenus() {
    if (menus.blankOpen) {
        for (int k = 0; k < blankMenuItemCount(); ++k) {
            drawMenuItem(window, uiFont, menus.blankPos.x, menus.blankPos.y + kMenuItemHeight * static_cast<float>(k),
                         kMainMenuWidth, kBlankMenuItems[static_cast<std::size_t>(k)],
                         k == menus.blankHoverItem ? kMenuHover : kMenuItem.fill, sf::Color::White);
        }
        if (menus.blankSubmenuOpen && menus.blankHoverItem >= 0) {
            const auto subPos = blankSubmenuPos(menus.blankPos, menus.blankHoverItem, {windowWidth, windowHeight});
            const float subX = subPos.x;
            const float subY = subPos.y;
            const int items = submenuItemCount(menus.blankHoverItem);
            for (int k = 0; k < items; ++k) {
                const bool chosen = menus.blankHoverItem == 0 ? k == settings.iconSize : k == settings.sortMode;
                const std::string& label = submenuLabel(menus.blankHoverItem, k);
                const float y = subY + kMenuItemHeight * static_cast<float>(k);
                drawMenuItem(window, uiFont, subX, y, kSubMenuWidth, label,
                             k == menus.blankSubmenuHoverItem ? kSubmenuHover : kMenuItem.fill,
                             chosen ? kMenuChosen : sf::Color::White);
                if (chosen) {
                    auto mark = makeText(menus.blankHoverItem == 0 ? "√" : (settings.sortAscending ? "↑" : "↓"), uiFont, 14, kMenuChosen);
                    mark.setPosition(subX + kSubMenuWidth - 28, y + 9);
                    window.draw(mark);
                }
            }
        }
    }
    if (menus.iconOpen && menus.iconGame >= 0 && static_cast<std::size_t>(menus.iconGame) < library.games().size()) {
        const bool favorite = library.games()[static_cast<std::size_t>(menus.iconGame)].is_favorite;
        for (int k = 0; k < kIconMenuItems; ++k) {
            drawMenuItem(window, uiFont, menus.iconPos.x, menus.iconPos.y + kMenuItemHeight * static_cast<float>(k),
                         kIconMenuWidth, iconMenuLabel(k, favorite),
                         k == menus.iconHoverItem ? kSubmenuHover : kMenuItem.fill, sf::Color::White);
        }
    }
    if (menus.copyOpen) {
        drawMenuItem(window, uiFont, menus.copyPos.x, menus.copyPos.y, kCopyMenuWidth, "复制",
                     menus.copyHover ? kSubmenuHover : kMenuItem.fill, sf::Color::White);
    }
    if (searchBox.contextMenuVisible) searchBox.drawContextMenu(window);
}

}  // namespace ludexa
