#include "core/copy/FileWorkers.h"

#include <algorithm>
#include <chrono>

namespace tavelin {

namespace {
constexpr auto kWaitSlice = std::chrono::milliseconds(20);
}

FileWorkers::FileWorkers(unsigned threads, std::size_t maxQueued) : maxQueued_(maxQueued) {
    if (threads == 0) {
        threads = std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
    }
    for (unsigned i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

FileWorkers::~FileWorkers() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    workAvailable_.notify_all();
    for (auto& t : threads_) {
        t.join();
    }
}

void FileWorkers::work() {
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(mutex_);
            workAvailable_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            batch = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        progress_.notify_all();
        batch();
        {
            std::lock_guard lock(mutex_);
            --running_;
        }
        progress_.notify_all();
    }
}

void FileWorkers::nudge() {
    {
        std::lock_guard lock(mutex_);
        nudged_ = true;
    }
    progress_.notify_all();
}

void FileWorkers::submit(Batch batch, const Waiting& whileWaiting) {
    std::unique_lock lock(mutex_);
    while (queue_.size() >= maxQueued_) {
        progress_.wait_for(lock, kWaitSlice,
                           [this] { return nudged_ || queue_.size() < maxQueued_; });
        nudged_ = false;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
    queue_.push_back(std::move(batch));
    lock.unlock();
    workAvailable_.notify_one();
}

void FileWorkers::finish(const Waiting& whileWaiting) {
    std::unique_lock lock(mutex_);
    while (!queue_.empty() || running_ != 0) {
        progress_.wait_for(lock, kWaitSlice,
                           [this] { return nudged_ || (queue_.empty() && running_ == 0); });
        nudged_ = false;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

} // namespace tavelin
