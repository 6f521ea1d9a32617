// The background picture loader: one thread for the whole run.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::startLoaderThread() {
    if (loaderRunning.exchange(true)) return;
    loaderThread = std::thread([this] { loaderBody(); });
}

void GameLauncher::stopLoaderThread() {
    {
        // Stored under the lock so the wake-up cannot fall between the loader's
        // predicate test and its wait.
        std::lock_guard lock(loaderMutex);
        loaderRunning.store(false);
    }
    loaderCv.notify_one();
    if (loaderThread.joinable()) loaderThread.join();
}

void GameLauncher::loaderBody() {
    while (loaderRunning.load()) {
        std::unique_lock lock(loaderMutex);
        loaderCv.wait(lock, [this] { return !loaderRunning.load() || !loadRequestPath.empty(); });
        if (!loaderRunning.load() && loadRequestPath.empty()) return;
        loadRequestPath.clear();
    }
}

void GameLauncher::checkLoadComplete() {}

void GameLauncher::loadCurrentMap() {}

void GameLauncher::clearPreview() {
    previewIsGif = false;
    previewGif.clear();
    previewTexture = sf::Texture();
}

}  // namespace ludexa
