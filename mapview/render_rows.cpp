#include "mapview/render_rows.h"

#include "mapview/render.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kMostWorkers = 4;
// Below this many pixels a frame is drawn on the calling thread alone.
constexpr std::int64_t kSmallFrame = 64 * 1024;

// Helper threads kept for the life of the process: they sleep until a frame hands them a
// band. Started on first use; stopped when the process ends.
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
        while (threads_.size() + 1 < std::size_t(workers)) {
            const int index = int(threads_.size()) + 1;
            threads_.emplace_back([this, index] { work(index); });
        }
        band_ = &band;
        height_ = height;
        workers_ = workers;
        pending_ = workers - 1;
        ++round_;
        lock.unlock();
        wake_.notify_all();
        bandOf(0, band);
        lock.lock();
        done_.wait(lock, [this] { return pending_ == 0; });
        band_ = nullptr;
    }

private:
    void bandOf(int index, const std::function<void(std::int32_t, std::int32_t)>& band) const {
        const std::int64_t first = std::int64_t(height_) * index / workers_;
        const std::int64_t end = std::int64_t(height_) * (index + 1) / workers_;
        if (first < end) band(std::int32_t(first), std::int32_t(end));
    }

    void work(int index) {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_) return;
            seen = round_;
            if (index >= workers_) continue;   // not wanted for this frame
            const auto* band = band_;
            lock.unlock();
            bandOf(index, *band);
            lock.lock();
            if (--pending_ == 0) done_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> threads_;
    const std::function<void(std::int32_t, std::int32_t)>* band_ = nullptr;
    std::int32_t height_ = 0;
    int workers_ = 1;
    int pending_ = 0;
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
