#include "PictureCache.h"

#include <QDateTime>
#include <chrono>

namespace skyglance::catalogue {
namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(50);
constexpr int kMaxWaitSlices = 200; // 10 s

} // namespace

PictureCache::PictureCache(int refreshSeconds, Post post)
    : refreshSeconds_(refreshSeconds > 0 ? refreshSeconds : 1), post_(std::move(post)) {
    for (const PictureRecipe& recipe : samplePictures()) {
        entries_[recipe.path].recipe = &recipe;
    }
}

bool PictureCache::knows(const std::string& path) const {
    // The set of paths never changes after construction.
    return entries_.find(path) != entries_.end();
}

std::shared_ptr<const Resource> PictureCache::get(const std::string& path) {
    Pending pending;
    std::shared_ptr<const Resource> last;
    {
        std::lock_guard guard(mutex_);
        const auto found = entries_.find(path);
        if (found == entries_.end()) {
            return nullptr;
        }
        Entry& entry = found->second;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        if (entry.picture && entry.period == periodOf(now)) {
            return entry.picture;
        }
        if (!entry.pending.valid()) {
            auto done = std::make_shared<std::promise<std::shared_ptr<const Resource>>>();
            entry.pending = done->get_future().share();
            post_([this, path, done] { draw(path, done); });
        }
        pending = entry.pending;
        last = entry.picture;
    }
    for (int slice = 0; slice < kMaxWaitSlices && !stopping_; ++slice) {
        if (pending.wait_for(kWaitSlice) == std::future_status::ready) {
            try {
                return pending.get();
            } catch (const std::future_error&) {
                break; // the painter went away before drawing it
            }
        }
    }
    return last;
}

int PictureCache::secondsLeftInPeriod() const {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    return static_cast<int>(refreshSeconds_ - now % refreshSeconds_);
}

void PictureCache::draw(
    const std::string& path,
    const std::shared_ptr<std::promise<std::shared_ptr<const Resource>>>& done) {
    const PictureRecipe* recipe = nullptr;
    {
        std::lock_guard guard(mutex_);
        recipe = entries_.at(path).recipe;
    }
    const QDateTime made = QDateTime::currentDateTime();
    std::shared_ptr<const Resource> picture = renderPicture(*recipe, made);
    if (picture->body.empty()) {
        picture = nullptr;
    }
    {
        std::lock_guard guard(mutex_);
        Entry& entry = entries_.at(path);
        if (picture) {
            entry.picture = picture;
            entry.period = periodOf(made.toSecsSinceEpoch());
        }
        entry.pending = Pending();
    }
    done->set_value(picture);
}

} // namespace skyglance::catalogue
