#include "progressbar.h"

#include <cstdio>
#include <unistd.h>

namespace Quorvane
{

namespace
{

constexpr auto kDelayBeforeShowing = std::chrono::milliseconds(1000);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kWidth = 40;

} // namespace

ProgressBar::ProgressBar(int64_t total, bool enabled)
    : total(total), enabled(enabled && total > 0 && isatty(STDERR_FILENO)), started(Clock::now())
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(int64_t done)
{
    if (!enabled)
        return;
    auto now = Clock::now();
    if (now - started < kDelayBeforeShowing || (drawn && now - lastDrawn < kRedrawInterval))
        return;
    lastDrawn = now;
    drawn = true;

    double fraction = done >= total ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
    int filled = static_cast<int>(fraction * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    double elapsed = std::chrono::duration<double>(now - started).count();
    double remaining = fraction > 0.0 ? elapsed * (1.0 - fraction) / fraction : 0.0;
    std::fprintf(stderr, "\r[%s] %3d%%  %.0f s left ", bar, static_cast<int>(fraction * 100.0),
                 remaining);
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (!drawn)
        return;
    std::fprintf(stderr, "\r%*s\r", kWidth + 24, "");
    std::fflush(stderr);
    drawn = false;
}

} // namespace Quorvane
