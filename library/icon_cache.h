// IconCache: game icons decoded on demand. The library is loaded without its
// icon blobs; the grid asks for the icons of the cells it shows, a worker thread
// reads and decodes those blobs, and the main thread uploads the results into a
// bounded set of textures. Icons are keyed by the game's id, which SQLite never
// reuses, so sorting, filtering, deleting or importing can never put one
// game's icon on another game's cell.
#pragma once

#include <SFML/Graphics/Texture.hpp>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "library/icon_header.h"

namespace ludexa {

class IconCache {
public:
    enum class State { Unknown, Ready, Failed };

    // `capacity`: textures kept beyond the ones in use this frame; `workers`:
    // decoding threads, each with its own connection to the database.
    explicit IconCache(std::string databasePath, std::size_t capacity = 384, unsigned workers = 2);
    ~IconCache();
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;

    // Main thread, once per frame before drawing: uploads finished decodes (at
    // most `maxUploads`) and evicts textures beyond the capacity that were not
    // used in the last frame.
    void beginFrame(std::size_t maxUploads = 256);

    // Main thread. The icon's state; a Ready texture is kept for this frame.
    State state(std::int64_t id);
    const sf::Texture* texture(std::int64_t id);

    // Main thread: the ids whose icons the grid needs now, most wanted first.
    // Replaces the previous wish list, so icons of cells scrolled past are
    // never decoded.
    void want(std::vector<std::int64_t> ids);

    // Main thread: the icon of `id` changed or is gone; forget it.
    void forget(std::int64_t id);

    // Whether decodes are still outstanding for the current wish list.
    bool busy();
    // Whether finished decodes wait for the next frame to upload them.
    bool resultsWaiting();

    std::size_t textureCount() const { return textures_.size(); }

private:
    struct Decoded {
        std::int64_t id = 0;
        bool ok = false;
        unsigned width = 0, height = 0;
        std::vector<std::uint8_t> pixels;
    };
    struct Entry {
        // By pointer: SFML 2.5's sf::Texture has no move, and moving it into
        // the map would upload every icon a second time.
        std::unique_ptr<sf::Texture> texture;
        std::uint64_t lastUsed = 0;
    };

    void workerBody();

    std::string databasePath_;
    std::size_t capacity_;
    std::uint64_t frame_ = 0;
    std::unordered_map<std::int64_t, Entry> textures_;  // main thread only
    std::unordered_map<std::int64_t, bool> failed_;     // main thread only

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::int64_t> wanted_;        // guarded by mutex_
    std::vector<Decoded> decoded_;  // guarded by mutex_
    std::vector<std::int64_t> inFlight_;     // guarded by mutex_: ids being decoded now
    bool stopping_ = false;         // guarded by mutex_
    std::vector<std::thread> workers_;
};

}  // namespace ludexa
