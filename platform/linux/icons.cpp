// Icons through gdk-pixbuf, GIO content types and a GtkIconTheme of the
// loader's own. A theme object not tied to a screen needs no display and is
// used only by the thread that made it, which keeps it off the main thread's
// GTK state while an import runs on a worker.
#include "platform/icons.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace ludexa {
namespace {

struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object != nullptr) g_object_unref(object);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
    void operator()(gpointer p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct ErrorFree {
    void operator()(GError* e) const {
        if (e != nullptr) g_error_free(e);
    }
};

// Picture files larger than this are not icons; refusing them keeps a stray
// Icon= line from pulling a huge file into memory.
constexpr off_t kMaxIconFileBytes = 16 * 1024 * 1024;
// Pixel dimensions above this are refused before decoding (a tiny PNG can
// declare 30000 x 30000 pixels).
constexpr int kMaxIconSide = 8192;

// The size that fits width x height into a size x size square, keeping the
// aspect ratio; `enlarge` allows growing a smaller picture.
void fitInto(int width, int height, int size, bool enlarge, int& outW, int& outH) {
    outW = width, outH = height;
    if (width <= 0 || height <= 0) return;
    if (!enlarge && width <= size && height <= size) return;
    const double scale = std::min(static_cast<double>(size) / width, static_cast<double>(size) / height);
    outW = std::clamp(static_cast<int>(std::lround(width * scale)), 1, size);
    outH = std::clamp(static_cast<int>(std::lround(height * scale)), 1, size);
}

// Copies a pixbuf (RGB or RGBA, any rowstride) into a tight RGBA buffer.
RgbaImage toRgba(GdkPixbuf* pixbuf) {
    RgbaImage image;
    if (pixbuf == nullptr || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
        gdk_pixbuf_get_bits_per_sample(pixbuf) != 8)
        return image;
    const int w = gdk_pixbuf_get_width(pixbuf);
    const int h = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    if (w <= 0 || h <= 0 || (channels != 3 && channels != 4)) return image;
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
    image.width = w;
    image.height = h;
    image.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    auto* out = image.pixels.data();
    for (int y = 0; y < h; ++y) {
        const guchar* row = src + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < w; ++x, out += 4) {
            const guchar* p = row + x * channels;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            out[3] = channels == 4 ? p[3] : 255;
        }
    }
    return image;
}

// Brings a loaded pixbuf to the asked fit: AtMost shrinks only; Exact scales
// into the square and centres it on transparent pixels.
std::optional<RgbaImage> shape(GdkPixbuf* pixbuf, int size, IconFit fit) {
    if (pixbuf == nullptr || size <= 0) return std::nullopt;
    const int w = gdk_pixbuf_get_width(pixbuf);
    const int h = gdk_pixbuf_get_height(pixbuf);
    int tw = 0, th = 0;
    fitInto(w, h, size, fit == IconFit::Exact, tw, th);
    GPtr<GdkPixbuf> scaled;
    if (tw != w || th != h) {
        scaled.reset(gdk_pixbuf_scale_simple(pixbuf, tw, th, GDK_INTERP_BILINEAR));
        if (!scaled) return std::nullopt;
        pixbuf = scaled.get();
    }
    RgbaImage image = toRgba(pixbuf);
    if (image.empty()) return std::nullopt;
    if (fit == IconFit::AtMost || (image.width == size && image.height == size)) return image;

    RgbaImage square;
    square.width = size;
    square.height = size;
    square.pixels.assign(static_cast<std::size_t>(size) * size * 4, 0);
    const int left = (size - image.width) / 2;
    const int top = (size - image.height) / 2;
    for (int y = 0; y < image.height; ++y)
        std::copy_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width * 4, image.width * 4,
                    square.pixels.begin() + (static_cast<std::ptrdiff_t>(top + y) * size + left) * 4);
    return square;
}

// Reads a regular file of at most kMaxIconFileBytes. FIFOs, devices and
// folders are refused before anything is read, so a bad path cannot block.
std::optional<std::vector<guchar>> readIconFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || st.st_size > kMaxIconFileBytes)
        return std::nullopt;
    std::vector<guchar> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

struct SizeRequest {
    int size = 0;
    IconFit fit = IconFit::AtMost;
    bool tooLarge = false;
};

// Called by the loader once the picture's size is known and before any pixel
// is decoded: oversized pictures are marked and asked for at 0 x 0, which makes
// the decoders stop before allocating; the rest are decoded straight at the
// size wanted (vector formats render sharply at that size).
void onSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
    auto* request = static_cast<SizeRequest*>(data);
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) {
        request->tooLarge = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
        return;
    }
    int tw = 0, th = 0;
    fitInto(width, height, request->size, request->fit == IconFit::Exact, tw, th);
    if (tw != width || th != height) gdk_pixbuf_loader_set_size(loader, tw, th);
}

std::optional<RgbaImage> loadImageFile(const std::string& path, int size, IconFit fit) {
    const auto bytes = readIconFile(path);
    if (!bytes || bytes->empty()) return std::nullopt;
    GPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
    SizeRequest request{size, fit, false};
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(onSizePrepared), &request);
    // Fed in slices so that a picture found to be oversized stops being read
    // after its header.
    constexpr std::size_t kSlice = 64 * 1024;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes->size() && !request.tooLarge; at += kSlice) {
        GError* error = nullptr;
        ok = gdk_pixbuf_loader_write(loader.get(), bytes->data() + at, std::min(kSlice, bytes->size() - at),
                                     &error) == TRUE;
        ErrorFree{}(error);
    }
    GError* error = nullptr;
    const bool closed = gdk_pixbuf_loader_close(loader.get(), &error) == TRUE;
    ErrorFree{}(error);
    if (!ok || !closed || request.tooLarge) return std::nullopt;
    // The pixbuf belongs to the loader; shape() copies what it needs.
    return shape(gdk_pixbuf_loader_get_pixbuf(loader.get()), size, fit);
}

// The content type of a path: sniffed from the file when it is a regular file
// here, otherwise guessed from its name (Windows targets of .lnk files).
std::string contentTypeOf(const std::string& path) {
    struct stat st {};
    if (!path.empty() && path[0] == '/' && ::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "inode/directory";
        if (S_ISREG(st.st_mode)) {
            GPtr<GFile> file(g_file_new_for_path(path.c_str()));
            GPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                   G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
            if (info) {
                const char* type = g_file_info_get_content_type(info.get());
                if (type != nullptr) return type;
            }
        }
    }
    const auto slash = path.find_last_of("\\/");
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    GCharPtr guessed(g_content_type_guess(base.c_str(), nullptr, 0, nullptr));
    return guessed ? std::string(guessed.get()) : std::string("application/octet-stream");
}

class GtkIconLoader final : public IconLoader {
public:
    explicit GtkIconLoader(const std::string& themeName) : theme_(gtk_icon_theme_new()) {
        if (!themeName.empty()) gtk_icon_theme_set_custom_theme(theme_.get(), themeName.c_str());
    }

    std::optional<RgbaImage> load(const IconSource& source, int size, IconFit fit) override {
        if (size <= 0 || source.value.empty()) return std::nullopt;
        switch (source.kind) {
            case IconSource::Kind::ImageFile:
                return loadImageFile(source.value, size, fit);
            case IconSource::Kind::ThemeName: {
                // A theme name is a bare name; anything with a separator would
                // walk out of the theme's folders.
                if (source.value.find('/') != std::string::npos) return std::nullopt;
                GPtr<GtkIconInfo> info(
                    gtk_icon_theme_lookup_icon(theme_.get(), source.value.c_str(), size, lookupFlags(fit)));
                return fromInfo(info.get(), size, fit);
            }
            case IconSource::Kind::FileType: {
                GPtr<GIcon> icon(g_content_type_get_icon(typeOf(source.value).c_str()));
                if (!icon) return std::nullopt;
                GPtr<GtkIconInfo> info(gtk_icon_theme_lookup_by_gicon(theme_.get(), icon.get(), size, lookupFlags(fit)));
                return fromInfo(info.get(), size, fit);
            }
        }
        return std::nullopt;
    }

    std::string cacheKey(const IconSource& source) override {
        if (source.kind == IconSource::Kind::FileType) return "type:" + typeOf(source.value);
        return IconLoader::cacheKey(source);
    }

private:
    // Many shortcuts start the same program; its type is found once.
    const std::string& typeOf(const std::string& path) {
        auto it = types_.find(path);
        if (it == types_.end()) it = types_.emplace(path, contentTypeOf(path)).first;
        return it->second;
    }

    static GtkIconLookupFlags lookupFlags(IconFit fit) {
        // Symbolic variants are drawn with the widget's colours, which a theme
        // without a screen does not have: the coloured icons are preferred.
        int flags = GTK_ICON_LOOKUP_FORCE_REGULAR;
        if (fit == IconFit::Exact) flags |= GTK_ICON_LOOKUP_FORCE_SIZE;
        return static_cast<GtkIconLookupFlags>(flags);
    }

    static std::optional<RgbaImage> fromInfo(GtkIconInfo* info, int size, IconFit fit) {
        if (info == nullptr) return std::nullopt;
        GError* error = nullptr;
        GPtr<GdkPixbuf> pixbuf(gtk_icon_info_load_icon(info, &error));
        ErrorFree{}(error);
        return shape(pixbuf.get(), size, fit);
    }

    GPtr<GtkIconTheme> theme_;
    std::unordered_map<std::string, std::string> types_;
};

}  // namespace

std::string IconLoader::cacheKey(const IconSource& source) {
    return std::to_string(static_cast<int>(source.kind)) + ":" + source.value;
}

std::unique_ptr<IconLoader> makeIconLoader(const std::string& themeName) {
    return std::make_unique<GtkIconLoader>(themeName);
}

std::string userIconThemeName() {
    if (gdk_display_get_default() == nullptr) return {};
    GtkSettings* settings = gtk_settings_get_default();
    if (settings == nullptr) return {};
    gchar* name = nullptr;
    g_object_get(settings, "gtk-icon-theme-name", &name, nullptr);
    GCharPtr owned(name);
    return owned ? std::string(owned.get()) : std::string();
}

}  // namespace ludexa
