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

void sortDesktopEntries(std::vector<DesktopEntryName>& entries, const Collator& collator) {
    std::vector<std::pair<std::string, std::size_t>> keyed;  // label's sort key, position
    keyed.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) keyed.emplace_back(collator.sortKey(entries[i].label), i);
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return entries[a.second].fileName < entries[b.second].fileName;
    });
    std::vector<DesktopEntryName> sorted;
    sorted.reserve(entries.size());
    for (const auto& entry : keyed) sorted.push_back(std::move(entries[entry.second]));
    entries = std::move(sorted);
}

void GameLauncher::scanDesktopFolder() {
    clearDesktopItems();
    const auto folder = userDesktopDirectory();
    if (folder.empty()) return;
    std::vector<DesktopEntryName> entries;
    for (auto& name : listVisibleEntries(folder)) {
        // A launcher shows the name its entry gives, as in a file manager,
        // not its file name ("org.gnome.Mines").
        const auto face = readLauncherFace(folder + "/" + name);
        std::wstring label = face ? utf8ToWstring(face->name) : desktopItemLabel(utf8ToWstring(name));
        entries.push_back({std::move(name), std::move(label)});
    }
    sortDesktopEntries(entries, Collator::forUserLocale());
    std::set<std::string> taken;
    for (auto& entry : entries) {
        const std::string path = folder + "/" + entry.fileName;
        if (!taken.insert(path).second) continue;
        DesktopItem item;
        item.name = utf8ToWstring(entry.fileName);
        item.label = std::move(entry.label);
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
    showMessageBox({launchFailureText(wstringToUtf8(desktopItems[index].label), result.error, path),
                    "启动失败", MessageIcon::Error, MessageButtons::Ok, nativeHandle()});
    discardInputAfterModal();
}

void GameLauncher::createDesktopIconTextures() {
    auto loader = makeIconLoader(userIconThemeName());
    for (auto& item : desktopItems) {
        if (item.texture) continue;
        const std::string path = wstringToUtf8(item.path);
        std::vector<IconSource> sources;
        // The entry's own Icon first, as a file manager shows it (also for
        // an entry no menu would list); then what the import would take.
        if (const auto face = readLauncherFace(path)) sources = face->icons;
        if (const auto shortcut = readShortcut(path))
            sources.insert(sources.end(), shortcut->icons.begin(), shortcut->icons.end());
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
