// The GIF crash guard on Linux: a process-wide SIGSEGV/SIGBUS handler and a
// per-thread flag with a jump buffer. The handler jumps back only for a thread
// that is inside a guarded call; for any other thread it puts back the action
// that was there before it and lets the fault take its normal course.
//
// The handler is installed once and stays: installing and removing it around
// every call, as a per-call registration would, races between threads (one
// thread's removal would disarm another thread's guarded call).
#include "platform/fault_guard.h"

#include <setjmp.h>
#include <signal.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

// Plain constant-initialised thread-locals: reading them needs no TLS wrapper
// call, so the signal handler may touch them.
thread_local volatile std::sig_atomic_t g_gif_in_safe = 0;
thread_local sigjmp_buf g_gif_jmp;

std::mutex g_installMutex;
struct sigaction g_previousSegv;
struct sigaction g_previousBus;

void gifFaultHandler(int sig, siginfo_t* info, void*) {
    if (g_gif_in_safe) {
        g_gif_in_safe = 0;
        siglongjmp(g_gif_jmp, 1);
    }
    sigaction(sig, sig == SIGBUS ? &g_previousBus : &g_previousSegv, nullptr);
    // A fault raised by the hardware repeats when the faulting instruction
    // runs again after this return, now meeting the previous action with its
    // real details. A signal sent by kill or raise does not repeat: send it again.
    if (info == nullptr || info->si_code <= 0) raise(sig);
}

bool isOurs(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == gifFaultHandler;
}

// Installs the handler, or installs it again when something replaced it since.
void ensureHandlers() noexcept {
    try {
        std::lock_guard lock(g_installMutex);
        for (int sig : {SIGSEGV, SIGBUS}) {
            struct sigaction current {};
            if (sigaction(sig, nullptr, &current) != 0 || isOurs(current)) continue;
            struct sigaction ours {};
            ours.sa_sigaction = gifFaultHandler;
            ours.sa_flags = SA_SIGINFO | SA_ONSTACK;
            sigemptyset(&ours.sa_mask);
            sigaction(sig, &ours, sig == SIGBUS ? &g_previousBus : &g_previousSegv);
        }
    } catch (...) {
        // A lock that cannot be taken leaves the handler as it is.
    }
}

// A fault from running out of stack can only be handled on another stack.
// Each thread that makes guarded calls gets one unless it already has one.
class AlternateStack {
public:
    AlternateStack() = default;
    AlternateStack(const AlternateStack&) = delete;
    AlternateStack& operator=(const AlternateStack&) = delete;
    ~AlternateStack() {
        if (!installed_) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }

    void ensure() noexcept {
        if (installed_) return;
        stack_t current{};
        if (sigaltstack(nullptr, &current) != 0 || (current.ss_flags & SS_DISABLE) == 0) return;
        memory_.reset(static_cast<char*>(std::malloc(kSize)));
        if (!memory_) return;
        stack_t ours{};
        ours.ss_sp = memory_.get();
        ours.ss_size = kSize;
        if (sigaltstack(&ours, nullptr) == 0)
            installed_ = true;
        else
            memory_.reset();
    }

private:
    static constexpr std::size_t kSize = 64 * 1024;
    struct Free {
        void operator()(char* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<char, Free> memory_;
    bool installed_ = false;
};

thread_local AlternateStack g_alternateStack;

}  // namespace

bool gif_safe_call(void (*fn)(void*), void* context) noexcept {
    ensureHandlers();
    g_alternateStack.ensure();
    // The jump buffer is filled before the flag is raised, so the handler can
    // never jump through a stale buffer.
    if (sigsetjmp(g_gif_jmp, 1) != 0) return false;  // the handler cleared the flag
    g_gif_in_safe = 1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    fn(context);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_gif_in_safe = 0;
    return true;
}

GifStream* gif_safe_stream_create(const std::uint8_t* bytes, std::int32_t length) noexcept {
    struct Call {
        const std::uint8_t* bytes;
        std::int32_t length;
        GifStream* result;
    } call{bytes, length, nullptr};
    const bool finished = gif_safe_call(
        [](void* p) {
            auto* c = static_cast<Call*>(p);
            c->result = stbi_gif_stream_create(c->bytes, c->length);
        },
        &call);
    return finished ? call.result : nullptr;
}

std::uint8_t* gif_safe_stream_next(GifStream* stream, std::int32_t* delayMs) noexcept {
    struct Call {
        GifStream* stream;
        std::int32_t* delayMs;
        std::uint8_t* result;
    } call{stream, delayMs, nullptr};
    const bool finished = gif_safe_call(
        [](void* p) {
            auto* c = static_cast<Call*>(p);
            c->result = stbi_gif_stream_next(c->stream, c->delayMs);
        },
        &call);
    return finished ? call.result : nullptr;
}

void gif_safe_stream_rewind(GifStream* stream) noexcept {
    const bool finished = gif_safe_call([](void* p) { stbi_gif_stream_rewind(static_cast<GifStream*>(p)); }, stream);
    static_cast<void>(finished);  // after a contained fault there is nothing more to do
}

void gif_safe_stream_size(const GifStream* stream, std::int32_t* width, std::int32_t* height) noexcept {
    stbi_gif_stream_size(stream, width, height);
}

void gif_safe_stream_free(GifStream* stream) noexcept { stbi_gif_stream_free(stream); }
