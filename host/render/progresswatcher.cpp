#include "progresswatcher.h"

#include "progressbar.h"

#include <chrono>

namespace Quorvane
{

ProgressWatcher::ProgressWatcher(const std::atomic<int64_t>& counter, int64_t total, bool enabled)
    : done(counter)
{
    thread = std::thread([this, total, enabled] { run(total, enabled); });
}

ProgressWatcher::~ProgressWatcher()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void ProgressWatcher::run(int64_t total, bool enabled)
{
    ProgressBar bar(total, enabled);
    std::unique_lock<std::mutex> guard(lock);
    while (!wake.wait_for(guard, std::chrono::milliseconds(100), [this] { return stopping; }))
        bar.update(done.load());
    bar.finish();
}

} // namespace Quorvane
