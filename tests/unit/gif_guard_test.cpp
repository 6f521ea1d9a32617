// The GIF crash guard: faults inside guarded calls become failures, on two
// threads at once; faults anywhere else still end the program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <latch>
#include <thread>

#include "platform/fault_guard.h"
#include "tests/unit/gif_fixtures.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

using namespace gif_fixtures;

static const std::vector<std::uint8_t> kOneRedPixel = gifFixture("one_red_pixel");

namespace {

// Memory that may not be touched. A stream handle is about 35 KB and the
// decoder's first read of a bad one lands deep inside it, so one page is not
// enough: the read would reach whatever is mapped after it.
class ForbiddenPage {
public:
    ForbiddenPage() {
        p_ = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
#if defined(__SANITIZE_ADDRESS__)
        // The range may reuse addresses of memory the sanitizer itself once
        // held and marked; the fault must come from the range, not the marks.
        __asan_unpoison_memory_region(p_, size_);
#endif
    }
    ~ForbiddenPage() { munmap(p_, size_); }
    ForbiddenPage(const ForbiddenPage&) = delete;
    ForbiddenPage& operator=(const ForbiddenPage&) = delete;
    void* address() const { return p_; }

private:
    std::size_t size_ = std::size_t{1} << 20;
    void* p_;
};

void writeTo(void* address) { *static_cast<volatile int*>(address) = 1; }
bool guardedWrite(void* address) { return gif_safe_call([](void* p) { writeTo(p); }, address); }

bool decodesRed() {
    GifStream* s = gif_safe_stream_create(kOneRedPixel.data(), static_cast<std::int32_t>(kOneRedPixel.size()));
    const std::uint8_t* frame = gif_safe_stream_next(s, nullptr);
    const bool red = frame && pixel(frame, 1, 0, 0) == kRed;
    gif_safe_stream_free(s);
    return red;
}

int recurse(int depth) {
    volatile char pad[256];
    pad[0] = static_cast<char>(depth);
    if (depth < 0) return 0;  // never: the depth only grows until the stack runs out
    return recurse(depth + 1) + pad[0];
}

}  // namespace

TEST(GifGuard, FaultsInsideAGuardedCallAreContained) {
    ForbiddenPage page;
    EXPECT_FALSE(guardedWrite(page.address()));
    EXPECT_FALSE(guardedWrite(page.address()));
    // Running out of stack is caught too: the handler has a stack of its own.
    EXPECT_FALSE(gif_safe_call([](void*) { recurse(1); }, nullptr));

    // SIGBUS: a shared mapping reaching past the end of its file.
    char name[] = "/tmp/ludexa_guard_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    unlink(name);
    const auto pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(pageSize)), 0);
    void* map = mmap(nullptr, 2 * pageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    ASSERT_NE(map, MAP_FAILED);
    EXPECT_FALSE(guardedWrite(static_cast<char*>(map) + pageSize));
    munmap(map, 2 * pageSize);

    EXPECT_TRUE(decodesRed());  // a guarded call that ends well; the thread carries on normally
}

TEST(GifGuard, GuardedStreamCallsSurviveABadHandle) {
    ForbiddenPage page;
    auto* bad = static_cast<GifStream*>(page.address());
    std::int32_t delay = 123;
    EXPECT_EQ(gif_safe_stream_next(bad, &delay), nullptr);
    EXPECT_EQ(delay, 123);
    gif_safe_stream_rewind(bad);  // simply returns
    {
        // The fault comes after the handle was allocated: lost by design.
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler knownLeak;
#endif
        EXPECT_EQ(gif_safe_stream_create(static_cast<const std::uint8_t*>(page.address()), 64), nullptr);
    }
}

TEST(GifGuard, TwoThreadsFaultAtTheSameTime) {
    ForbiddenPage page;
    constexpr int kRounds = 300;
    std::latch start(2);
    std::atomic<int> contained{0}, decoded{0};
    auto work = [&] {
        start.arrive_and_wait();
        for (int i = 0; i < kRounds; ++i) {
            if (!guardedWrite(page.address())) ++contained;
            if (decodesRed()) ++decoded;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(contained.load(), 2 * kRounds);
    EXPECT_EQ(decoded.load(), 2 * kRounds);
}

namespace {

// Faults while another thread sits inside a guarded call: the guard belongs
// to that thread only.
void faultWhileAnotherThreadIsGuarded() {
    ForbiddenPage page;
    std::atomic<int> stage{0};  // 1: inside the guarded call, 2: free to leave it
    std::thread guarded([&] {
        static_cast<void>(gif_safe_call(
            [](void* p) {
                auto* s = static_cast<std::atomic<int>*>(p);
                *s = 1;
                while (s->load() != 2) std::this_thread::yield();
            },
            &stage));
    });
    while (stage.load() != 1) std::this_thread::yield();
    writeTo(page.address());
    stage = 2;
    guarded.join();
}

void faultAfterAContainedOne() {
    ForbiddenPage page;
    if (guardedWrite(page.address())) return;
    writeTo(page.address());
}

void raiseAfterAGuardedCall() {
    if (!decodesRed()) return;
    std::raise(SIGSEGV);
}

}  // namespace

TEST(GifGuardDeath, FaultsOutsideAGuardedCallAreNotSwallowed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(faultAfterAContainedOne(), "");
    EXPECT_DEATH(raiseAfterAGuardedCall(), "");
    EXPECT_DEATH(faultWhileAnotherThreadIsGuarded(), "");
}
