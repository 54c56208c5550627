#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace skyglance::catalogue {

// Pages that never finish loading each hold a worker thread for as long as
// they last; a quarter of the workers at most, so the rest keep answering.
// Stalled transfers (the stall fault) take the same slots. Stopping the
// service ends every hold at once.
class PageHolds {
public:
    explicit PageHolds(int workerThreads) : limit_(workerThreads / 4) {}

    // A slot for one held page, released when the last copy goes; null when
    // every slot is taken or the service is stopping.
    std::shared_ptr<PageHolds> acquire() {
        std::lock_guard guard(mutex_);
        if (active_ >= limit_ || stopping_) {
            return nullptr;
        }
        ++active_;
        return std::shared_ptr<PageHolds>(this, [](PageHolds* holds) { holds->release(); });
    }

    // Sleeps for `period`; false at once when the service stops.
    bool wait(std::chrono::milliseconds period) {
        std::unique_lock guard(mutex_);
        return !wake_.wait_for(guard, period, [this] { return stopping_; });
    }

    void stopAll() {
        {
            std::lock_guard guard(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
    }

private:
    void release() {
        std::lock_guard guard(mutex_);
        --active_;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    const int limit_;
    int active_ = 0;
    bool stopping_ = false;
};

} // namespace skyglance::catalogue
