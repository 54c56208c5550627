#pragma once

#include "SampleSite.h"

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <unordered_map>

namespace skyglance::catalogue {

// The sample pictures, drawn when first asked for in each refresh period, so
// that a client fetching again after the period gets a visibly newer picture
// while an idle server draws nothing. Any thread may ask; drawing happens on
// the one painter thread that `post` hands the work to (the main thread), so
// QPainter is never used from two threads.
class PictureCache {
public:
    using Post = std::function<void(std::function<void()>)>;

    PictureCache(int refreshSeconds, Post post);

    // Whether `path` names a sample picture.
    bool knows(const std::string& path) const;

    // The picture made in the current period; waits while it is drawn. When
    // drawing does not finish in time (or the server is stopping) the last
    // picture is given, which may be null if there was none.
    std::shared_ptr<const Resource> get(const std::string& path);

    // Seconds until the pictures of the current period give way to new ones.
    int secondsLeftInPeriod() const;

    // Waiting callers give up at once from now on.
    void shutdown() { stopping_ = true; }

private:
    using Pending = std::shared_future<std::shared_ptr<const Resource>>;
    struct Entry {
        const PictureRecipe* recipe = nullptr;
        std::shared_ptr<const Resource> picture;
        qint64 period = -1;
        Pending pending;
    };

    qint64 periodOf(qint64 secondsSinceEpoch) const { return secondsSinceEpoch / refreshSeconds_; }
    void draw(const std::string& path,
              const std::shared_ptr<std::promise<std::shared_ptr<const Resource>>>& done);

    const int refreshSeconds_;
    const Post post_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace skyglance::catalogue
