// On-demand icon decoding with a bounded texture cache.
#include "library/icon_cache.h"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>

#include "library/database.h"
#include "platform/event_wait.h"

namespace ludexa {

IconCache::IconCache(std::string databasePath, std::size_t capacity, unsigned workers)
    : databasePath_(std::move(databasePath)), capacity_(capacity) {
    for (unsigned i = 0; i < std::max(1u, workers); ++i) workers_.emplace_back([this] { workerBody(); });
}

IconCache::~IconCache() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wanted_.clear();
    }
    wake_.notify_all();
    for (auto& worker : workers_)
        if (worker.joinable()) worker.join();
}

void IconCache::workerBody() {
    // One connection for a run of decodes, closed when there is nothing to do,
    // so the file is not held open while the launcher idles.
    std::optional<Database> db;
    std::optional<Statement> select;
    for (;;) {
        std::int64_t id = 0;
        {
            std::unique_lock lock(mutex_);
            if (wanted_.empty()) {
                select.reset();
                db.reset();
                wake_.wait(lock, [this] { return stopping_ || !wanted_.empty(); });
            }
            if (stopping_) return;
            id = wanted_.front();
            wanted_.pop_front();
            inFlight_.push_back(id);
        }
        Decoded result;
        result.id = id;
        if (!db) {
            db = Database::open(databasePath_, false);
            if (db) select = db->prepare("SELECT icon FROM games WHERE id = ?");
        }
        if (select) {
            select->reset().bind(1, id);
            if (select->step() == SQLITE_ROW) {
                const auto blob = select->columnBlob(0);
                sf::Image image;
                if (iconBlobAcceptable(blob) && image.loadFromMemory(blob.data(), blob.size()) && image.getSize().x > 0 &&
                    image.getSize().y > 0) {
                    result.ok = true;
                    result.width = image.getSize().x;
                    result.height = image.getSize().y;
                    const auto* p = image.getPixelsPtr();
                    result.pixels.assign(p, p + std::size_t{result.width} * result.height * 4);
                }
            }
        }
        std::lock_guard lock(mutex_);
        inFlight_.erase(std::find(inFlight_.begin(), inFlight_.end(), id));
        decoded_.push_back(std::move(result));
        wakeMainLoop();
    }
}

void IconCache::beginFrame(std::size_t maxUploads) {
    ++frame_;
    std::vector<Decoded> ready;
    {
        std::lock_guard lock(mutex_);
        const std::size_t n = std::min(maxUploads, decoded_.size());
        ready.assign(std::make_move_iterator(decoded_.begin()), std::make_move_iterator(decoded_.begin() + static_cast<std::ptrdiff_t>(n)));
        decoded_.erase(decoded_.begin(), decoded_.begin() + static_cast<std::ptrdiff_t>(n));
    }
    for (auto& d : ready) {
        if (!d.ok) {
            failed_[d.id] = true;
            continue;
        }
        Entry entry;
        entry.texture = std::make_unique<sf::Texture>();
        if (!entry.texture->create(d.width, d.height)) {
            failed_[d.id] = true;
            continue;
        }
        entry.texture->update(d.pixels.data());
        entry.texture->setSmooth(true);
        entry.lastUsed = frame_;
        textures_[d.id] = std::move(entry);
    }
    if (textures_.size() > capacity_) {
        // Evict the least recently used textures that no cell showed last frame.
        std::vector<std::pair<std::uint64_t, std::int64_t>> byAge;
        for (const auto& [id, entry] : textures_)
            if (entry.lastUsed + 1 < frame_) byAge.emplace_back(entry.lastUsed, id);
        std::sort(byAge.begin(), byAge.end());
        std::size_t excess = textures_.size() - capacity_;
        for (const auto& [age, id] : byAge) {
            if (excess == 0) break;
            textures_.erase(id);
            --excess;
        }
    }
}

IconCache::State IconCache::state(std::int64_t id) {
    if (auto it = textures_.find(id); it != textures_.end()) {
        it->second.lastUsed = frame_;
        return State::Ready;
    }
    return failed_.count(id) ? State::Failed : State::Unknown;
}

const sf::Texture* IconCache::texture(std::int64_t id) {
    auto it = textures_.find(id);
    if (it == textures_.end()) return nullptr;
    it->second.lastUsed = frame_;
    return it->second.texture.get();
}

void IconCache::want(std::vector<std::int64_t> ids) {
    {
        std::lock_guard lock(mutex_);
        wanted_.assign(ids.begin(), ids.end());
        // Results already decoded or being decoded need no second decode.
        for (const auto& d : decoded_)
            wanted_.erase(std::remove(wanted_.begin(), wanted_.end(), d.id), wanted_.end());
        for (std::int64_t id : inFlight_) wanted_.erase(std::remove(wanted_.begin(), wanted_.end(), id), wanted_.end());
    }
    wake_.notify_all();
}

void IconCache::forget(std::int64_t id) {
    textures_.erase(id);
    failed_.erase(id);
    std::lock_guard lock(mutex_);
    decoded_.erase(std::remove_if(decoded_.begin(), decoded_.end(), [id](const Decoded& d) { return d.id == id; }),
                   decoded_.end());
}

bool IconCache::resultsWaiting() {
    std::lock_guard lock(mutex_);
    return !decoded_.empty();
}

bool IconCache::busy() {
    std::lock_guard lock(mutex_);
    return !wanted_.empty() || !inFlight_.empty() || !decoded_.empty();
}

}  // namespace ludexa
