#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tavelin {

// A few threads that run batches of per-file work while the walk goes on. The queue is
// bounded, so memory stays flat however many files a tree holds.
class FileWorkers {
  public:
    using Batch = std::function<void()>;
    using Waiting = std::function<void()>;

    // Threads for the number of cores (at least 2, at most 4) when `threads` is 0.
    explicit FileWorkers(unsigned threads = 0, std::size_t maxQueued = 16);
    ~FileWorkers();
    FileWorkers(const FileWorkers&) = delete;
    FileWorkers& operator=(const FileWorkers&) = delete;

    // Queues a batch; while the queue is full, calls `whileWaiting` now and then.
    void submit(Batch batch, const Waiting& whileWaiting);
    // Returns when every queued batch has run; calls `whileWaiting` now and then meanwhile.
    void finish(const Waiting& whileWaiting);
    // Wakes a waiting submit() or finish() so that it calls `whileWaiting` at once.
    void nudge();

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable progress_;
    std::deque<Batch> queue_;
    std::size_t maxQueued_;
    std::size_t running_ = 0;
    bool nudged_ = false;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace tavelin
