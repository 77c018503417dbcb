// A progress bar kept up to date on a thread of its own from a counter that
// other threads add to, for work that runs on several threads at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace Quorvane
{

class ProgressWatcher
{
public:
    // Shows DONE out of TOTAL until destroyed (if ENABLED; see ProgressBar).
    ProgressWatcher(const std::atomic<int64_t>& done, int64_t total, bool enabled);
    ~ProgressWatcher();

    ProgressWatcher(const ProgressWatcher&) = delete;
    ProgressWatcher& operator=(const ProgressWatcher&) = delete;

private:
    void run(int64_t total, bool enabled);

    const std::atomic<int64_t>& done;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

} // namespace Quorvane
