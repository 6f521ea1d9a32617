// Entry point: the library database must be usable before the launcher exists.
#include <SFML/System/Err.hpp>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/window.h"

int main() {
    // The product prints nothing: SFML's error stream is silenced.
    sf::err().rdbuf(nullptr);
    ludexa::initDialogs();
    if (!ludexa::initDatabase()) {
        ludexa::showMessageBox({"数据库初始化失败", "错误", ludexa::MessageIcon::Error, ludexa::MessageButtons::Ok, 0});
        return 1;
    }
    ludexa::prepareClipboard();
    {
        ludexa::GameLauncher launcher;
        // The launcher closes its window at once when it has no font to draw with.
        if (!launcher.window.isOpen()) return 1;
        launcher.run();
    }
    return 0;
}
