// The desktop view: the entries of the user's desktop folder with their icons,
// and opening one (a launcher starts its program, anything else opens with
// its default handler).
#include "library/desktop.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "app/GameLauncher.h"
#include "library/icons.h"
#include "library/launch.h"
#include "platform/collate.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace ludexa {
namespace {

bool endsWithNoCase(const std::wstring& s, const std::wstring& suffix) {
    if (s.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                      [](wchar_t a, wchar_t b) { return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b)); });
}

}  // namespace

std::wstring desktopItemLabel(const std::wstring& fileName) {
    std::wstring shown = fileName;
    if (shown.size() >= 5 && shown.compare(shown.size() - 4, 4, L".lnk") == 0)
        shown.resize(shown.size() - 4);
    else if (shown.size() > 8 && endsWithNoCase(shown, L".desktop"))
        shown.resize(shown.size() - 8);
    return shown;
}

void sortDesktopNames(std::vector<std::string>& names, const Collator& collator) {
    std::vector<std::pair<std::string, std::string>> keyed;  // label's sort key, file name
    keyed.reserve(names.size());
    for (auto& name : names) keyed.emplace_back(collator.sortKey(desktopItemLabel(utf8ToWstring(name))), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& entry : keyed) names.push_back(std::move(entry.second));
}

void GameLauncher::scanDesktopFolder() {
    clearDesktopItems();
    const auto folder = userDesktopDirectory();
    if (folder.empty()) return;
    auto names = listVisibleEntries(folder);
    sortDesktopNames(names, Collator::forUserLocale());
    std::set<std::string> taken;
    for (const auto& name : names) {
        const std::string path = folder + "/" + name;
        if (!taken.insert(path).second) continue;
        DesktopItem item;
        item.name = utf8ToWstring(name);
        item.path = utf8ToWstring(path);
        desktopItems.push_back(std::move(item));
    }
}

void GameLauncher::openDesktopItem(std::size_t index) {
    if (index >= desktopItems.size()) return;
    const std::string path = wstringToUtf8(desktopItems[index].path);
    // A launcher on the desktop starts its program, as a game's does, rather
    // than opening the file itself in an editor.
    const StartResult result = planLaunch(path, "", "", systemLaunchEnvironment()).method == LaunchMethod::DesktopEntry
                                   ? launchDesktopEntry(path)
                                   : openWithDefaultHandler(path);
    if (result.started) return;
    showMessageBox({launchFailureText(wstringToUtf8(desktopItemLabel(desktopItems[index].name)), result.error, path),
                    "启动失败", MessageIcon::Error, MessageButtons::Ok, nativeHandle()});
    discardInputAfterModal();
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
