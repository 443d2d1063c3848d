#include "mapview/render_rows.h"

#include "mapview/render.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kMostWorkers = 4;
// Below this many pixels a frame is drawn on the calling thread alone.
constexpr std::int64_t kSmallFrame = 64 * 1024;

// Helper threads kept for the life of the process: they sleep until a frame opens a round.
// A round cuts the rows into more bands than there are workers; every worker, the calling
// thread among them, takes the next band until none is left. A helper that wakes late (its
// core busy with another program) finds the round closed and the frame already drawn
// without it: the frame never waits for a helper that has not started.
class RowPool {
public:
    ~RowPool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    void run(std::int32_t height, int workers, const std::function<void(std::int32_t, std::int32_t)>& band) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (threads_.size() + 1 < std::size_t(workers)) threads_.emplace_back([this] { work(); });
        band_ = &band;
        height_ = height;
        bands_ = std::min<std::int32_t>(height, std::int32_t(workers) * kBandsPerWorker);
        next_.store(0, std::memory_order_relaxed);
        helpersWanted_ = workers - 1;
        open_ = true;
        ++round_;
        lock.unlock();
        wake_.notify_all();
        takeBands();
        lock.lock();
        open_ = false;
        done_.wait(lock, [this] { return active_ == 0; });
        band_ = nullptr;
    }

private:
    static constexpr std::int32_t kBandsPerWorker = 4;

    void takeBands() {
        for (;;) {
            const std::int32_t i = next_.fetch_add(1, std::memory_order_relaxed);
            if (i >= bands_) return;
            const std::int64_t first = std::int64_t(height_) * i / bands_;
            const std::int64_t end = std::int64_t(height_) * (i + 1) / bands_;
            if (first < end) (*band_)(std::int32_t(first), std::int32_t(end));
        }
    }

    void work() {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_) return;
            seen = round_;
            if (!open_ || helpersWanted_ == 0) continue;  // too late, or not wanted this round
            --helpersWanted_;
            ++active_;
            lock.unlock();
            takeBands();
            lock.lock();
            if (--active_ == 0) done_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> threads_;
    const std::function<void(std::int32_t, std::int32_t)>* band_ = nullptr;
    std::int32_t height_ = 0;
    std::int32_t bands_ = 0;
    std::atomic<std::int32_t> next_{0};
    int helpersWanted_ = 0;
    int active_ = 0;
    bool open_ = false;
    std::uint64_t round_ = 0;
    bool stopping_ = false;
};

RowPool& pool() {
    static RowPool p;
    return p;
}

// One frame at a time goes through the pool; a second caller draws on its own thread.
std::mutex& poolUse() {
    static std::mutex m;
    return m;
}

}  // namespace

int render_RowWorkers(std::int64_t pixels) {
    const int wanted = render_Tuning().threads;
    if (wanted > 0) return std::min(wanted, kMostWorkers);
    if (pixels < kSmallFrame) return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int(cores), 1, kMostWorkers);
}

void render_ForRowBands(std::int32_t height, int workers, const std::function<void(std::int32_t, std::int32_t)>& band) {
    if (height <= 0) return;
    workers = std::clamp(workers, 1, std::min(kMostWorkers, int(height)));
    std::unique_lock<std::mutex> use(poolUse(), std::try_to_lock);
    if (workers == 1 || !use.owns_lock()) {
        band(0, height);
        return;
    }
    pool().run(height, workers, band);
}
