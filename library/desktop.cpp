// The desktop view: the entries of the user's desktop folder with their icons.
#include <set>

#include "app/GameLauncher.h"
#include "library/icons.h"
#include "platform/icons.h"
#include "platform/paths.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace ludexa {

void GameLauncher::scanDesktopFolder() {
    clearDesktopItems();
    const auto folder = userDesktopDirectory();
    if (folder.empty()) return;
    std::set<std::string> taken;
    for (const auto& name : listVisibleEntries(folder)) {
        const std::string path = folder + "/" + name;
        if (!taken.insert(path).second) continue;
        DesktopItem item;
        item.name = utf8ToWstring(name);
        item.path = utf8ToWstring(path);
        desktopItems.push_back(std::move(item));
    }
}

void GameLauncher::createDesktopIconTextures() {
    auto loader = makeIconLoader(userIconThemeName());
    for (auto& item : desktopItems) {
        if (item.texture) continue;
        const std::string path = wstringToUtf8(item.path);
        std::vector<IconSource> sources;
        if (const auto shortcut = readShortcut(path)) sources = shortcut->icons;
        sources.push_back({IconSource::Kind::FileType, path});
        const auto icon = iconForNewGame(*loader, sources);
        if (!icon || icon->empty()) continue;
        auto texture = std::make_unique<sf::Texture>();
        if (!texture->create(static_cast<unsigned>(icon->width), static_cast<unsigned>(icon->height))) continue;
        texture->update(icon->pixels.data());
        texture->setSmooth(true);
        item.texture = std::move(texture);
    }
}

void GameLauncher::clearDesktopItems() { desktopItems.clear(); }

}  // namespace ludexa
