// A one-line progress bar on standard error, shown only when standard
// error is a terminal and the work has already taken about a second.
#pragma once

#include <chrono>
#include <cstdint>

namespace Quorvane
{

class ProgressBar
{
public:
    ProgressBar(int64_t total, bool enabled);
    ~ProgressBar();

    void update(int64_t done);
    // Clears the line if the bar was drawn.
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    int64_t total;
    bool enabled;
    bool drawn = false;
    Clock::time_point started;
    Clock::time_point lastDrawn;
};

} // namespace Quorvane
