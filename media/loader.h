// The background picture loader: which decoder a path goes to, the decoding
// itself, how the picture area is fitted to a picture, and PictureLoader, the
// thread that decodes off the main thread. GameLauncher owns one and picks its
// results up once per frame (media/loader.cpp).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "media/gif/gif_animation.h"
#include "media/picture_decode.h"
#include "platform/image_codecs.h"

namespace ludexa {

enum class PictureDecoder {
    General,        // JPEG, PNG, BMP, and the first frame of a GIF
    PlatformCodec,  // WebP and AVIF
    Animation,      // a GIF played frame by frame
};

// Chosen by the path's final bytes, compared exactly: ".gif" plays as an
// animation; ".webp", ".WEBP", ".avif" and ".AVIF" go to the platform codecs;
// everything else (".GIF" and ".Webp" included) to the general decoder.
PictureDecoder chooseDecoder(std::string_view path);

// What the loader hands to the main thread: an animation ready at frame 1, a
// still picture, or why there is neither.
struct DecodedPicture {
    PictureOutcome outcome = PictureOutcome::Failed;
    bool isGif = false;
    GifAnimation gif;
    RgbaImage image;
    PictureHeader claimed;  // the size a refused picture's header claims
};

// Decodes the file with the decoder its name chooses, a still picture only
// when its header passed checkPictureSize. Never throws.
PictureOutcome decodePicture(const std::string& utf8Path, DecodedPicture& out) noexcept;

// What the picture area says instead of a picture that cannot be shown:
// "无法显示此图片", or for one refused by its size "图片过大，无法显示" with
// the size it claims. Empty for a decoded picture.
std::string pictureProblemCaption(PictureOutcome outcome, const PictureHeader& claimed);

// The picture area's height for a texture, filling the column's width: the
// texture's aspect ratio times the column width, at most the available height
// less the 100-pixel minimum of the text area and the 4-pixel splitter, and
// never below 100.
float fitPictureHeight(float textureWidth, float textureHeight, float columnWidth, float availableHeight);

// A result is shown only when it was decoded for the latest request.
inline bool isCurrentResult(int resultGeneration, int loadGeneration) { return resultGeneration == loadGeneration; }

// What one finished request leaves for the main thread: an animation ready at
// frame 1, a still picture, or the caption saying why there is neither.
struct LoadedPicture {
    bool isGif = false;
    bool isImage = false;
    GifAnimation gif;
    RgbaImage image;
    std::string problem;
};

// One thread for the whole run. The main thread posts a path; the loader
// decodes it (scaled down to maxWidth) and publishes the result, then wakes
// the main loop. Generations drop every result that belongs to an older
// request. Nothing thrown leaves the thread: a failure ends the loader and
// the program goes on without pictures.
class PictureLoader {
public:
    PictureLoader() = default;
    ~PictureLoader() { stop(); }
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    void start();
    // Returns at once even while a large picture decodes: that decode is left
    // behind on a thread of its own.
    void stop();
    bool running() const { return loaderThread.joinable(); }

    // Asks for `path`; whatever an earlier request still produces is dropped.
    void request(std::string path);
    // Drops the pending request and whatever is being decoded.
    void cancel();
    // A result (current or stale) waits in the slot; cheap, for the main loop.
    bool resultWaiting() const { return resultReady.load(); }
    // Empties the slot. Nothing when it was empty or held a stale result.
    std::optional<LoadedPicture> take();

    // The widest the picture area can become (the screen's width less the
    // grid's minimum); wider pictures are scaled down to it.
    int maxWidth() const { return pictureMaxWidth.load(); }
    void setMaxWidth(int width) { pictureMaxWidth.store(width); }

private:
    void body();

    // loaderMutex and resultMutex are never held together.
    std::thread loaderThread;
    std::atomic<bool> loaderRunning{false};  // cleared under loaderMutex, so the wait cannot miss it
    std::mutex loaderMutex;
    std::condition_variable loaderCv;        // waits on loaderMutex
    std::string loadRequestPath;             // guarded by loaderMutex
    std::atomic<int> loadGeneration{0};      // raised under loaderMutex, with the path
    std::mutex resultMutex;
    std::atomic<bool> resultReady{false};    // set and taken under resultMutex; cleared by a request under loaderMutex
    std::atomic<int> resultGeneration{0};    // written under resultMutex
    LoadedPicture result;                    // guarded by resultMutex; its image moves without copying pixels
    std::atomic<int> pictureMaxWidth{0};     // read by the loader at each request; no lock
};

}  // namespace ludexa
