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

struct ToolbarButton {
    const char* label;
    float x, w;
    sf::Color fill, outline;
};

// Left to right, all 30 high at y 7; the sleep switch is coloured by its state.
const ToolbarButton kToolbarButtons[] = {
    {"帮助", 10, 38, {245, 85, 85}, {255, 148, 148}},
    {"设置", 53, 38, {245, 148, 52}, {255, 190, 115}},
    {"换肤", 96, 38, {195, 178, 38}, {225, 210, 85}},
    {"休眠", 139, 38, {50, 185, 90}, {120, 230, 150}},
    {"添加游戏", 182, 66, {38, 175, 185}, {95, 215, 225}},
    {"生成资源", 253, 66, {85, 138, 235}, {135, 178, 255}},
    {"管理分类", 324, 66, {175, 82, 235}, {210, 130, 255}},
};

const sf::Color kMenuFill(50, 50, 55);
const sf::Color kMenuOutline(80, 80, 80);
const sf::Color kChosen(100, 200, 100);
const sf::Color kCounterText(240, 240, 240);

const char kEmptyLibraryHint[] = "点击「添加游戏」，选择放有游戏快捷方式的文件夹";
const char kEmptyLibraryHintWrapped[] = "点击「添加游戏」，\n选择放有游戏快捷方式的文件夹";

void drawMenuItem(sf::RenderTarget& target, const sf::Font& font, float x, float y, float w, const std::string& label,
                  sf::Color fill, sf::Color labelColor) {
    outlinedRect(target, x, y, w, kMenuItemHeight, fill, kMenuOutline);
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
    if (textBox.y != toolbarHeight + 4 + leftTopHeight + 4 || textBox.width != leftPanelWidth - 4 ||
        textBox.y + textBox.height != static_cast<float>(window.getSize().y) - 4)
        updateRichEditPosition();

    const Theme& theme = themeAt(settings.themeIndex);
    const sf::Color panel = settings.useCustomBackground ? kCustomBackgroundPanel : theme.panelColor;
    const GridGeometry grid = currentGrid();
    const float gridTop = grid.top;
    const float gridLeft = grid.left;
    const float gridHeight = windowHeight - gridTop;

    iconCache->beginFrame();
    window.clear(sf::Color(30, 30, 30, 255));

    drawBackground(window);
    drawPictureArea(window, gridTop);
    fillRect(window, 0, gridTop + leftTopHeight, leftPanelWidth, 4, theme.borderColor);

    textBox.draw(window);

    // Icon grid.
    fillRect(window, gridLeft, gridTop, windowWidth - gridLeft, gridHeight, panel);
    const std::size_t count = library.desktopMode() ? desktopItems.size() : library.filteredIndices().size();
    const float contentHeight = grid.contentHeight(count);
    gridMaxScroll = gridMaxScrollFor(contentHeight, gridHeight);
    if (gridScrollOffset > gridMaxScroll) gridScrollOffset = gridMaxScroll;
    bool gridComplete = true;
    {
        ClipScope clip(window, gridLeft, gridTop, windowWidth - gridLeft, gridHeight);
        gridComplete = drawGridCells(grid, count);
    }

    if (!library.desktopMode() && library.games().empty()) {
        // A new user's first look: say how the grid gets filled.
        const sf::Color hintColour = settings.useCustomBackground ? sf::Color(240, 240, 245) : theme.hintColor;
        auto hint = makeText(kEmptyLibraryHint, uiFont, 16, hintColour);
        const float room = windowWidth - gridLeft - 40;
        if (hint.getLocalBounds().width > room) hint = makeText(kEmptyLibraryHintWrapped, uiFont, 16, hintColour);
        centreText(hint, gridLeft + (windowWidth - gridLeft) / 2, gridTop + std::min(gridHeight / 2, 160.0f));
        window.draw(hint);
    }

    if (gridMaxScroll > 0) {
        fillRect(window, windowWidth - 8, gridTop, 8, gridHeight, panel);
        const ScrollThumb thumb = scrollThumb(gridHeight, contentHeight, gridScrollOffset);
        fillRect(window, windowWidth - 8, gridTop + thumb.offset, 8, thumb.length, theme.scrollThumbColor);
    }

    // Frame lines.
    fillRect(window, leftPanelWidth, gridTop, 4, gridHeight, theme.borderColor);
    fillRect(window, 0, gridTop + leftTopHeight, leftPanelWidth, 4, theme.borderColor);
    fillRect(window, gridLeft, windowHeight - 4, windowWidth - gridLeft, 4, theme.borderColor);
    fillRect(window, 0, 0, 4, windowHeight, theme.borderColor);
    fillRect(window, windowWidth - 4, 0, 4, windowHeight, theme.borderColor);
    fillRect(window, 0, windowHeight - 4, windowWidth, 4, theme.borderColor);

    // Toolbar band, its buttons and the category bar, clipped to the band.
    fillRect(window, 0, 0, windowWidth, toolbarHeight, panel);
    {
    ClipScope clip(window, 0, 0, windowWidth, toolbarHeight);
    fillRect(window, 0, 0, 4, toolbarHeight, theme.borderColor);
    fillRect(window, windowWidth - 4, 0, 4, toolbarHeight, theme.borderColor);
    for (const auto& button : kToolbarButtons) {
        const bool sleepSwitch = std::string_view(button.label) == "休眠";
        sf::Color fill = button.fill, outline = button.outline, labelColor(20, 40, 100);
        if (sleepSwitch) {
            fill = settings.sleepEnabled ? sf::Color(50, 185, 90) : sf::Color(35, 70, 45);
            outline = settings.sleepEnabled ? sf::Color(120, 230, 150) : sf::Color(55, 100, 65);
            labelColor = settings.sleepEnabled ? sf::Color::White : sf::Color(120, 160, 125);
        }
        outlinedRect(window, button.x, 7, button.w, 30, fill, outline);
        auto label = makeText(button.label, uiFont, 14, labelColor);
        centreText(label, button.x + button.w / 2, 22);
        window.draw(label);
    }
    drawCategoryBar();
    }

    // Search box colours follow the theme every frame.
    if (settings.useCustomBackground) {
        searchBox.bgColor = sf::Color(45, 45, 50);
        searchBox.borderColor = sf::Color(80, 80, 90);
        searchBox.focusBorderColor = sf::Color(0, 150, 255);
        searchBox.textColor = sf::Color(230, 230, 230);
        searchBox.placeholderColor = sf::Color(140, 140, 150);
    } else {
        auto lower = [](sf::Uint8 c) { return static_cast<sf::Uint8>(std::max(0, c - 20)); };
        searchBox.bgColor = theme.panelColor;
        searchBox.borderColor =
            sf::Color(lower(theme.panelColor.r), lower(theme.panelColor.g), lower(theme.panelColor.b));
        searchBox.focusBorderColor = theme.accentColor;
        searchBox.textColor = theme.textColor;
        searchBox.placeholderColor = theme.hintColor;
    }

    // Title-area buttons.
    {
        static const sf::Color kModeFill[3] = {{70, 100, 150}, {160, 130, 0}, {150, 70, 210}};
        static const sf::Color kModeOutline[3] = {{100, 140, 190}, {230, 200, 60}, {200, 130, 255}};
        static const char* const kModeLabel[3] = {"无框", "全屏", "窗口"};
        const int mode = std::clamp(fullscreen, 0, 2);
        const float x = windowWidth - 113;
        outlinedRect(window, x, 8, 34, 26, kModeFill[mode], kModeOutline[mode]);
        auto label = makeText(kModeLabel[mode], uiFont, 13, sf::Color::White);
        centreText(label, x + 17, 21);
        window.draw(label);
        if (fullscreen != 0) {
            const float mx = windowWidth - 68;
            outlinedRect(window, mx, 4, 30, 26, sf::Color(70, 100, 150), sf::Color(100, 140, 190));
            fillRect(window, mx + 9, 16, 12, 2, sf::Color::White);
            const float cx = windowWidth - 34;
            outlinedRect(window, cx, 4, 30, 26, sf::Color(180, 40, 40), sf::Color(220, 90, 90));
            auto close = makeText("×", uiFont, 16, sf::Color::White);
            centreText(close, cx + 15, 17);
            window.draw(close);
        }
    }

    searchBox.draw(window);
    fillRect(window, 0, toolbarHeight, windowWidth, 4, theme.borderColor);
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
void GameLauncher::drawPictureArea(sf::RenderTarget& target, float gridTop) {
    const Theme& theme = themeAt(settings.themeIndex);
    const sf::Color panel = settings.useCustomBackground ? kCustomBackgroundPanel : theme.panelColor;
    fillRect(target, 0, gridTop, leftPanelWidth, leftTopHeight, panel);
    const float pictureCentreY = gridTop + leftTopHeight / 2;
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
        const float arrowY = pictureCentreY - 30;
        auto arrow = [&](float x, bool left) {
            sf::CircleShape circle(30);
            circle.setPosition(x, arrowY);
            circle.setFillColor(sf::Color(0, 0, 0, 120));
            target.draw(circle);
            sf::ConvexShape triangle(3);
            if (left) {
                triangle.setPoint(0, {60, arrowY + 15});
                triangle.setPoint(1, {40, arrowY + 30});
                triangle.setPoint(2, {60, arrowY + 45});
            } else {
                triangle.setPoint(0, {x + 20, arrowY + 15});
                triangle.setPoint(1, {x + 40, arrowY + 30});
                triangle.setPoint(2, {x + 20, arrowY + 45});
            }
            triangle.setFillColor(sf::Color(255, 255, 255, 220));
            target.draw(triangle);
        };
        if (currentMapIndex > 0) arrow(20, true);
        if (currentMapIndex < count - 1) arrow(leftPanelWidth - 80, false);
        // Light on its dark plate whatever the theme: a light theme's dark
        // text colour would vanish on it.
        auto counter = makeText(std::to_string(currentMapIndex + 1) + "/" + std::to_string(count), uiFont, 16,
                                kCounterText);
        const float counterWidth = counter.getLocalBounds().width + 20;
        fillRect(target, (leftPanelWidth - counterWidth) / 2, gridTop + leftTopHeight - 40, counterWidth, 30,
                 sf::Color(0, 0, 0, 150));
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
    const auto firstRow = static_cast<std::size_t>(std::max(0.0f, gridScrollOffset / grid.rowHeight()));
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
    const sf::Color normalLabel =
        settings.useCustomBackground ? sf::Color(240, 240, 245) : themeAt(settings.themeIndex).textColor;
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
    const float firstY = gridTop + 15 - gridScrollOffset;
    const auto columns = static_cast<std::size_t>(grid.columns);
    const long long firstRow = std::max(0LL, static_cast<long long>(std::floor((gridTop - 100 - rowHeight - firstY) / rowHeight)));
    const long long lastRow = static_cast<long long>(std::floor((gridBottom + 100 - firstY) / rowHeight));
    for (long long row = firstRow; row <= lastRow; ++row) {
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t i = static_cast<std::size_t>(row) * columns + c;
            if (i >= count) return wanted.empty();
            const float x = grid.cellX(i), y = grid.cellY(i, gridScrollOffset);
            if (y + grid.iconPx + grid.labelH < gridTop - 100 || y > gridBottom + 100) continue;
            const float centreX = x + grid.iconPx / 2;

            std::string name;
            bool highlighted = false;
            if (library.desktopMode()) {
                const auto& item = desktopItems[i];
                name = wstringToUtf8(item.label);
                highlighted = static_cast<int>(i) == focusIndex;
                if (highlighted)
                    fillRect(window, x - 4, y - 4, grid.iconPx + 8, grid.iconPx + grid.labelH + 8, sf::Color(80, 140, 220));
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
                                 sf::Color(60, 100, 160, 120), sf::Color(100, 170, 255), 2);
                }
                outlinedRect(window, x, y, grid.iconPx, grid.iconPx,
                             highlighted ? sf::Color(40, 60, 90) : sf::Color(50, 50, 50),
                             highlighted ? sf::Color(100, 170, 255) : sf::Color(80, 80, 80));
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
                    auto letter = makeText(first, contentFont, static_cast<unsigned>(grid.iconPx / 2), sf::Color(150, 150, 180));
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
    if (blankMenuOpen) {
        for (int k = 0; k < blankMenuItemCount(); ++k) {
            drawMenuItem(window, uiFont, blankMenuPos.x, blankMenuPos.y + kMenuItemHeight * static_cast<float>(k),
                         kMainMenuWidth, kBlankMenuItems[static_cast<std::size_t>(k)],
                         k == blankMenuHoverItem ? sf::Color(80, 80, 100) : kMenuFill, sf::Color::White);
        }
        if (blankSubmenuOpen && blankMenuHoverItem >= 0) {
            const auto subPos = blankSubmenuPos(blankMenuPos, blankMenuHoverItem, {windowWidth, windowHeight});
            const float subX = subPos.x;
            const float subY = subPos.y;
            const int items = submenuItemCount(blankMenuHoverItem);
            for (int k = 0; k < items; ++k) {
                const bool chosen = blankMenuHoverItem == 0 ? k == settings.iconSize : k == settings.sortMode;
                const std::string& label = submenuLabel(blankMenuHoverItem, k);
                const float y = subY + kMenuItemHeight * static_cast<float>(k);
                drawMenuItem(window, uiFont, subX, y, kSubMenuWidth, label,
                             k == blankSubmenuHoverItem ? sf::Color(70, 130, 180) : kMenuFill,
                             chosen ? kChosen : sf::Color::White);
                if (chosen) {
                    const char* markText = blankMenuHoverItem == 0 ? "√" : (settings.sortAscending ? "↑" : "↓");
                    auto mark = makeText(markText, uiFont, 14, kChosen);
                    mark.setPosition(subX + kSubMenuWidth - 28, y + 9);
                    window.draw(mark);
                }
            }
        }
    }
    if (iconMenuOpen && iconMenuGame >= 0 && static_cast<std::size_t>(iconMenuGame) < library.games().size()) {
        const bool favorite = library.games()[static_cast<std::size_t>(iconMenuGame)].is_favorite;
        for (int k = 0; k < kIconMenuItems; ++k) {
            drawMenuItem(window, uiFont, iconMenuPos.x, iconMenuPos.y + kMenuItemHeight * static_cast<float>(k),
                         kIconMenuWidth, iconMenuLabel(k, favorite),
                         k == iconMenuHoverItem ? sf::Color(70, 130, 180) : kMenuFill, sf::Color::White);
        }
    }
    if (copyMenuOpen) {
        drawMenuItem(window, uiFont, copyMenuPos.x, copyMenuPos.y, kCopyMenuWidth, "复制",
                     copyMenuHover ? sf::Color(70, 130, 180) : kMenuFill, sf::Color::White);
    }
    if (searchBox.contextMenuVisible) searchBox.drawContextMenu(window);
}

}  // namespace ludexa
