// Memory and speed of GIF playback. Opens a 500-frame and a 5-frame GIF of the
// same canvas, plays each through twice and records the peak heap use of
// each. Playback holds one canvas at a time, so the long file may cost more
// only through its bytes, which are held twice (the player's copy and the
// stream's): the program fails (exit code 1) when the 500-frame peak exceeds
// the 5-frame peak by more than twice the file-size difference plus 1 MiB.
// Then Google Benchmark times the frame step.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/gif_writer.h"
#include "media/gif/gif_animation.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUDEXA_BENCH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUDEXA_BENCH_ASAN 1
#endif
#endif

namespace {

std::atomic<long long> g_heapNow{0};
std::atomic<long long> g_heapPeak{0};

void noteHeap(long long delta) {
    const long long now = g_heapNow.fetch_add(delta) + delta;
    long long peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

// Heap accounting: every allocation and release of the process is counted by
// its usable size.
#if defined(LUDEXA_BENCH_ASAN)
// Under AddressSanitizer its allocator reports to hooks. (GCC ships no header
// for these two; they are part of every sanitizer runtime.)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                        void (*)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void*);

namespace {
void onAllocate(const volatile void*, std::size_t size) { noteHeap(static_cast<long long>(size)); }
void onRelease(const volatile void* p) { noteHeap(-static_cast<long long>(__sanitizer_get_allocated_size(p))); }
void startHeapCounting() { __sanitizer_install_malloc_and_free_hooks(onAllocate, onRelease); }
}  // namespace
#else
// Without a sanitizer, malloc and friends are replaced by counting wrappers
// around glibc's own allocator.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t n) {
    void* p = __libc_malloc(n);
    if (p) noteHeap(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void* calloc(std::size_t count, std::size_t n) {
    void* p = __libc_calloc(count, n);
    if (p) noteHeap(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void* realloc(void* old, std::size_t n) {
    const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
    void* p = __libc_realloc(old, n);
    if (p)
        noteHeap(static_cast<long long>(malloc_usable_size(p)) - before);
    else if (n == 0)
        noteHeap(-before);
    return p;
}
void* memalign(std::size_t alignment, std::size_t n) {
    void* p = __libc_memalign(alignment, n);
    if (p) noteHeap(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void* aligned_alloc(std::size_t alignment, std::size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
    void* p = memalign(alignment, n);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}
void free(void* p) {
    if (p) noteHeap(-static_cast<long long>(malloc_usable_size(p)));
    __libc_free(p);
}
}
namespace {
void startHeapCounting() {}
}  // namespace
#endif

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// A 16-colour pattern that moves with the frame number, so every frame
// differs from the one before.
std::vector<std::uint8_t> makeAnimation(int frames) {
    std::vector<gif_writer::Rgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 16), 128});
    std::vector<gif_writer::Frame> list;
    for (int f = 0; f < frames; ++f) {
        gif_writer::Frame frame = gif_writer::solid(0, 0, kWidth, kHeight, 0, 4, 1);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frame.indices[static_cast<std::size_t>(y * kWidth + x)] =
                    static_cast<std::uint8_t>(((x + f) / 8 + (y / 8)) % 16);
        list.push_back(std::move(frame));
    }
    return gif_writer::makeGif(kWidth, kHeight, palette, list);
}

struct PeakResult {
    long long peakBytes = 0;
    int framesShown = 0;
    bool loaded = false;
};

// Peak heap growth while opening the file and playing all its frames twice.
PeakResult measure(const std::string& path, int frames) {
    PeakResult result;
    const long long base = g_heapNow.load();
    g_heapPeak.store(base);
    {
        ludexa::GifAnimation animation;
        result.loaded = animation.loadFromFile(path);
        for (int i = 0; result.loaded && i < 2 * frames; ++i)
            if (animation.stepFrame()) ++result.framesShown;
    }
    result.peakBytes = g_heapPeak.load() - base;
    return result;
}

std::string g_longPath;

void BM_FrameStep(benchmark::State& state) {
    ludexa::GifAnimation animation;
    if (!animation.loadFromFile(g_longPath)) {
        state.SkipWithError("the 500-frame GIF did not open");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(animation.stepFrame());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameStep);

void BM_OpenAndProbe(benchmark::State& state) {
    for (auto _ : state) {
        ludexa::GifAnimation animation;
        benchmark::DoNotOptimize(animation.loadFromFile(g_longPath));
    }
}
BENCHMARK(BM_OpenAndProbe)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    startHeapCounting();
    const auto dir = std::filesystem::temp_directory_path() / ("ludexa_gif_memory_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    g_longPath = (dir / "long.gif").string();
    const std::string shortPath = (dir / "short.gif").string();
    const auto longBytes = makeAnimation(500);
    const auto shortBytes = makeAnimation(5);
    gif_writer::writeFile(g_longPath, longBytes);
    gif_writer::writeFile(shortPath, shortBytes);

    // Once each first, so one-time allocations (stream buffers, locale) are
    // not charged to whichever file is measured first.
    measure(shortPath, 5);
    const PeakResult longRun = measure(g_longPath, 500);
    const PeakResult shortRun = measure(shortPath, 5);

    const long long sizeDifference = static_cast<long long>(longBytes.size() - shortBytes.size());
    const long long allowed = 2 * sizeDifference + (1 << 20);
    const long long excess = longRun.peakBytes - shortRun.peakBytes;
    std::printf("canvas %d x %d\n", kWidth, kHeight);
    std::printf("500 frames: file %zu bytes, peak heap %lld bytes, %d frames shown\n", longBytes.size(),
                longRun.peakBytes, longRun.framesShown);
    std::printf("5 frames:   file %zu bytes, peak heap %lld bytes, %d frames shown\n", shortBytes.size(),
                shortRun.peakBytes, shortRun.framesShown);
    std::printf("difference %lld bytes, allowed %lld (twice the file-size difference + 1 MiB)\n", excess,
                allowed);
    bool ok = longRun.loaded && shortRun.loaded && longRun.framesShown == 1000 && shortRun.framesShown == 10;
    if (!ok) std::printf("FAIL: a GIF did not open or play through\n");
    if (excess > allowed) {
        std::printf("FAIL: the long animation costs more than its bytes\n");
        ok = false;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
