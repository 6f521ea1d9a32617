// Entry point: one launcher per data folder, and the library database must be
// usable before the launcher exists.
#include <SFML/System/Err.hpp>

#include <chrono>
#include <thread>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/shutdown_signal.h"
#include "platform/instance.h"
#include "platform/paths.h"
#include "platform/window.h"

namespace {

// With another launcher on the folder: true once the lock is ours after all
// (that launcher was just closing), false when its window was brought to the
// front instead. A launcher still starting shows its window within seconds;
// one whose window never shows (on another display) is named in a message.
bool takeOverFromOtherLauncher(ludexa::InstanceLock& lock, const std::string& dataDirectory) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (lock.retry()) return true;
        if (ludexa::activateInstanceWindow(dataDirectory)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ludexa::showMessageBox({"Ludexa 已经在运行，并且使用着同一个文件夹：\n" + dataDirectory +
                                "\n\n请切换到已打开的 Ludexa 窗口。",
                            "提示", ludexa::MessageIcon::Information, ludexa::MessageButtons::Ok, 0});
    return false;
}

}  // namespace

int main() {
    // The product prints nothing: SFML's error stream is silenced.
    sf::err().rdbuf(nullptr);
    // Before any thread exists, so that none starts with the default action.
    (void)ludexa::installShutdownSignals();
    ludexa::initDialogs();
    const std::string dataDirectory = ludexa::getDataDirectory();
    ludexa::InstanceLock lock(dataDirectory);
    if (lock.otherInstanceRuns() && !takeOverFromOtherLauncher(lock, dataDirectory)) return 0;
    if (!ludexa::initDatabase()) {
        ludexa::showMessageBox({"数据库初始化失败", "错误", ludexa::MessageIcon::Error, ludexa::MessageButtons::Ok, 0});
        return 1;
    }
    ludexa::prepareClipboard();
    {
        ludexa::GameLauncher launcher;
        // The launcher closes its window at once when it has no font to draw with.
        if (!launcher.window.isOpen()) return 1;
        ludexa::markInstanceWindow(launcher.nativeHandle(), dataDirectory);
        launcher.run();
    }
    return 0;
}
