// The background picture loader: one thread for the whole run. The main thread
// posts a path, the loader decodes it into a still picture or an animation
// ready at frame 1 and publishes it; the main thread picks it up once per
// frame, uploads it and fits the picture area. Generations drop every result
// that belongs to an older request.
//
// Locks: loaderMutex guards the request (path and the generation it is
// paired with), resultMutex the result slot. They are never held together.
#include "media/loader.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstring>

#include "app/GameLauncher.h"
#include "media/detached_task.h"
#include "media/picture_scale.h"
#include "platform/event_wait.h"
#include "platform/files.h"

namespace ludexa {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The size a GIF claims, for the caption of one the player refused: its
// header is the first 13 bytes.
PictureHeader claimedGifSize(const std::string& path) {
    std::vector<std::uint8_t> head;
    if (readRegularFile(path, 64, head) == FileRead::Refused) return {};
    const auto header = readPictureHeader(head.data(), head.size());
    return header ? *header : PictureHeader{};
}

bool uploadPicture(sf::Texture& texture, const RgbaImage& image) {
    if (image.empty() || image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) return false;
    if (!texture.create(static_cast<unsigned>(image.width), static_cast<unsigned>(image.height))) return false;
    texture.update(image.pixels.data());
    return true;
}

}  // namespace

PictureDecoder chooseDecoder(std::string_view path) {
    if (endsWith(path, ".gif")) return PictureDecoder::Animation;
    for (std::string_view tail : {".webp", ".WEBP", ".avif", ".AVIF"})
        if (endsWith(path, tail)) return PictureDecoder::PlatformCodec;
    return PictureDecoder::General;
}

PictureOutcome decodePicture(const std::string& utf8Path, DecodedPicture& out) noexcept {
    try {
        out.isGif = false;
        out.gif.clear();
        out.image = RgbaImage();
        out.claimed = PictureHeader{};
        if (chooseDecoder(utf8Path) == PictureDecoder::Animation) {
            // The player bounds the canvas itself (GifAnimation::kMaxSide).
            GifAnimation gif;
            if (gif.loadFromFile(utf8Path)) {
                out.isGif = true;
                out.gif = std::move(gif);
                return out.outcome = PictureOutcome::Decoded;
            }
            out.claimed = claimedGifSize(utf8Path);
            const bool tooLarge = out.claimed.width > 0 && (out.claimed.width > GifAnimation::kMaxSide ||
                                                            out.claimed.height > GifAnimation::kMaxSide);
            return out.outcome = tooLarge ? PictureOutcome::TooLarge : PictureOutcome::Failed;
        }
        // The general decoder and the platform codecs both read the content,
        // which tells the format; a "picture" whose name promises WebP or AVIF
        // but holds something else is not shown, as no codec claims it.
        std::vector<std::uint8_t> bytes;
        if (!readWholeRegularFile(utf8Path, static_cast<std::size_t>(kMaxCodecFileBytes), bytes) || bytes.empty())
            return out.outcome = PictureOutcome::Failed;
        const bool codec = isCodecPicture(bytes.data(), bytes.size());
        if (codec != (chooseDecoder(utf8Path) == PictureDecoder::PlatformCodec))
            return out.outcome = PictureOutcome::Failed;
        return out.outcome = decodeStillPicture(bytes.data(), bytes.size(), out.image, &out.claimed);
    } catch (...) {
        return out.outcome = PictureOutcome::Failed;
    }
}

std::string pictureProblemCaption(PictureOutcome outcome, const PictureHeader& claimed) {
    switch (outcome) {
        case PictureOutcome::Decoded:
            return {};
        case PictureOutcome::TooLarge:
            if (claimed.width > 0 && claimed.height > 0)
                return "图片过大，无法显示\n(" + std::to_string(claimed.width) + " × " + std::to_string(claimed.height) +
                       " 像素)";
            return "图片过大，无法显示";
        case PictureOutcome::Failed:
            break;
    }
    return "无法显示此图片";
}

float fitPictureHeight(float textureWidth, float textureHeight, float columnWidth, float availableHeight) {
    float h = textureWidth > 0 ? textureHeight / textureWidth * columnWidth : 0;
    h = std::min(h, availableHeight - 100 - 4);
    return h > 100 ? h : 100;
}

void PictureLoader::start() {
    if (loaderRunning.exchange(true)) return;
    loaderThread = std::thread([this] { body(); });
}

void PictureLoader::stop() {
    {
        // Stored under the lock so the wake-up cannot fall between the loader's
        // predicate test and its wait.
        std::lock_guard lock(loaderMutex);
        loaderRunning.store(false);
    }
    loaderCv.notify_one();
    if (loaderThread.joinable()) loaderThread.join();
}

void PictureLoader::body() {
    // Nothing may escape a thread: a lock that fails ends the loader, and the
    // launcher goes on without pictures.
    try {
        while (loaderRunning.load()) {
            std::string path;
            int gen = 0;
            {
                std::unique_lock lock(loaderMutex);
                loaderCv.wait(lock, [this] { return !loaderRunning.load() || !loadRequestPath.empty(); });
                // A request still pending at stop time is decoded first.
                if (!loaderRunning.load() && loadRequestPath.empty()) return;
                path = std::move(loadRequestPath);
                loadRequestPath.clear();
                gen = loadGeneration.load();
            }
            if (!path.empty()) {
                const int maxWidth = pictureMaxWidth.load();
                const std::function<DecodedPicture()> decode = [path, maxWidth] {
                    DecodedPicture picture;
                    // Scaled here, not on the main thread: the upload of a
                    // huge picture would stall a frame.
                    if (decodePicture(path, picture) == PictureOutcome::Decoded && !picture.isGif)
                        (void)shrinkToFit(picture.image, maxWidth, kMaxPictureTextureSide);
                    return picture;
                };
                // The decode runs on a thread of its own that quitting can
                // leave behind: closing the window never waits for a large
                // picture to finish.
                DecodedPicture picture;
                DetachedTask<DecodedPicture> task;
                if (task.start(decode)) {
                    while (!task.waitFor(std::chrono::milliseconds(50)))
                        if (!loaderRunning.load()) return;
                    (void)task.take(picture);
                } else {
                    picture = decode();
                }
                // A result already known to be stale is not published. A
                // picture that cannot be shown is published too, so the area
                // says so instead of loading for ever.
                if (isCurrentResult(gen, loadGeneration.load())) {
                    const bool decoded = picture.outcome == PictureOutcome::Decoded;
                    std::lock_guard lock(resultMutex);
                    result.isGif = decoded && picture.isGif;
                    result.isImage = decoded && !picture.isGif;
                    result.problem = pictureProblemCaption(picture.outcome, picture.claimed);
                    // The slot keeps only what it offers: an older result of
                    // the other kind is released now, not at the next pick-up.
                    result.gif = std::move(picture.gif);
                    result.image = std::move(picture.image);
                    resultGeneration.store(gen);
                    resultReady.store(true);
                    wakeMainLoop();
                }
            }
            if (!loaderRunning.load()) return;
        }
    } catch (...) {
    }
}

void PictureLoader::request(std::string path) {
    {
        // The generation is raised under the same lock that stores the path:
        // the loader reads both together, so it can never pair this path with
        // an older generation, nor an older path with this generation.
        std::lock_guard lock(loaderMutex);
        loadGeneration.fetch_add(1);
        resultReady.store(false);
        loadRequestPath = std::move(path);
    }
    loaderCv.notify_one();
}

void PictureLoader::cancel() {
    // Whatever is still being decoded belongs to what was shown before: it
    // must not appear, nor resize the picture area, later on.
    std::lock_guard lock(loaderMutex);
    loadRequestPath.clear();
    loadGeneration.fetch_add(1);
    resultReady.store(false);
}

std::optional<LoadedPicture> PictureLoader::take() {
    if (!resultReady.load()) return std::nullopt;
    LoadedPicture taken;
    bool current = false;
    {
        std::lock_guard lock(resultMutex);
        if (!resultReady.load()) return std::nullopt;
        current = isCurrentResult(resultGeneration.load(), loadGeneration.load());
        if (current) taken = std::move(result);
        // Emptied either way: a stale picture's memory goes now.
        result = LoadedPicture();
        resultReady.store(false);
    }
    if (!current) return std::nullopt;
    return taken;
}

void GameLauncher::checkLoadComplete() {
    if (!pictureLoader.resultWaiting()) return;
    try {
        auto taken = pictureLoader.take();
        if (!taken) return;
        if (taken->isGif) {
            previewIsGif = true;
            previewGif = std::move(taken->gif);
            // The first frame is shown at once; later ones follow their delays.
            if (previewGif.stream && previewGif.width > 0 && previewGif.height > 0)
                previewGif.updateTexture(previewTexture);
        } else if (taken->isImage) {
            previewIsGif = false;
            if (!uploadPicture(previewTexture, taken->image)) return;
        } else {
            previewProblem = std::move(taken->problem);
            return;
        }

        const auto size = previewTexture.getSize();
        if (size.x == 0 || size.y == 0) return;
        const float available = windowHeight - (toolbarHeight + 4);
        leftTopHeight = fitPictureHeight(static_cast<float>(size.x), static_cast<float>(size.y), leftPanelWidth,
                                         available);
        // Saved with the next settings, so the split survives a restart.
        if (available > 0) settings.leftTopHeightRatio = leftTopHeight / available;
        updateRichEditPosition();
    } catch (...) {
        // A failed lock or allocation leaves the preview as it was.
    }
}

void GameLauncher::loadCurrentMap() {
    if (mapFiles.empty() || currentMapIndex < 0 || static_cast<std::size_t>(currentMapIndex) >= mapFiles.size())
        return;
    std::string path = mapFiles[static_cast<std::size_t>(currentMapIndex)];
    // Until the result arrives the picture area shows the loading label.
    clearPreview();
    pictureLoader.request(std::move(path));
}

void GameLauncher::clearPreview() {
    pictureLoader.cancel();
    previewIsGif = false;
    previewGif.clear();
    previewTexture = sf::Texture();
    previewProblem.clear();
}

}  // namespace ludexa
