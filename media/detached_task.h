// Work on a thread of its own that its owner may stop waiting for. The thread
// owns a share of the state it reports to, so an owner that goes away (the
// program quitting in the middle of a decode) abandons the work: it finishes
// unobserved and frees what it made, and nobody waits for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace ludexa {

template <class Result>
class DetachedTask {
public:
    // Starts `work` on a new thread. False, with nothing started, when no
    // thread could be created; the caller may then do the work itself.
    // An exception from `work` ends it with a default Result. `finished`, when
    // given, is called on that thread once the result can be taken (a loop
    // sleeping until something happens is woken that way).
    bool start(std::function<Result()> work, void (*finished)() = nullptr) noexcept {
        try {
            auto state = std::make_shared<State>();
            std::thread([state, work = std::move(work), finished] {
                Result result;
                try {
                    result = work();
                } catch (...) {
                }
                {
                    std::lock_guard lock(state->mutex);
                    state->result = std::move(result);
                    state->finished = true;
                    state->done.notify_all();
                }
                if (finished != nullptr) finished();
            }).detach();
            state_ = std::move(state);
            return true;
        } catch (...) {
            return false;
        }
    }

    bool started() const { return state_ != nullptr; }

    // Waits up to `timeout`; true once the work has finished.
    bool waitFor(std::chrono::milliseconds timeout) const {
        if (!state_) return false;
        std::unique_lock lock(state_->mutex);
        return state_->done.wait_for(lock, timeout, [this] { return state_->finished; });
    }

    // Moves the result out once the work has finished; the task is then empty.
    bool take(Result& out) {
        if (!state_) return false;
        {
            std::lock_guard lock(state_->mutex);
            if (!state_->finished) return false;
            out = std::move(state_->result);
        }
        state_.reset();
        return true;
    }

    // Stops caring: the work runs on and its result is dropped.
    void abandon() noexcept { state_.reset(); }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;  // guarded by mutex
        Result result;          // guarded by mutex
    };
    std::shared_ptr<State> state_;
};

}  // namespace ludexa
