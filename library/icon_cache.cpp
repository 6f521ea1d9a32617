// On-demand icon decoding with a bounded texture cache.
#include "library/icon_cache.h"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>

#include "library/database.h"

namespace ludexa {

namespace {

std::uint32_t be32(std::span<const unsigned char> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}
std::uint32_t be16(std::span<const unsigned char> b, std::size_t at) { return (std::uint32_t{b[at]} << 8) | b[at + 1]; }
std::uint32_t le16(std::span<const unsigned char> b, std::size_t at) { return b[at] | (std::uint32_t{b[at + 1]} << 8); }
std::uint32_t le32(std::span<const unsigned char> b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

std::optional<PictureSize> jpegSize(std::span<const unsigned char> b) {
    // Segments after the FF D8 start: FF, marker, then a big-endian length
    // that counts itself. The frame header (SOF0..SOF15 but DHT, JPG and DAC)
    // holds precision, height, width.
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return std::nullopt;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        const std::uint32_t length = be16(b, at + 2);
        if (length < 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) return std::nullopt;
            return PictureSize{be16(b, at + 7), be16(b, at + 5)};
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the scan
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<PictureSize> declaredPictureSize(std::span<const unsigned char> b) {
    static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 24 && std::equal(std::begin(kPng), std::end(kPng), b.begin())) {
        if (!std::equal(b.begin() + 12, b.begin() + 16, "IHDR")) return std::nullopt;
        return PictureSize{be32(b, 16), be32(b, 20)};
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return jpegSize(b);
    if (b.size() >= 10 && std::equal(b.begin(), b.begin() + 4, "GIF8")) return PictureSize{le16(b, 6), le16(b, 8)};
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (le32(b, 14) == 12) return PictureSize{le16(b, 18), le16(b, 20)};  // the old OS/2 header
        const auto height = static_cast<std::int32_t>(le32(b, 22));          // negative: rows top-down
        return PictureSize{le32(b, 18), static_cast<std::uint32_t>(height < 0 ? -static_cast<std::int64_t>(height) : height)};
    }
    return std::nullopt;
}

bool iconBlobAcceptable(std::span<const unsigned char> bytes) {
    const auto size = declaredPictureSize(bytes);
    return size && size->width >= 1 && size->height >= 1 && size->width <= kMaxIconSide &&
           size->height <= kMaxIconSide;
}

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

bool IconCache::busy() {
    std::lock_guard lock(mutex_);
    return !wanted_.empty() || !inFlight_.empty() || !decoded_.empty();
}

}  // namespace ludexa
