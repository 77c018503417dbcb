#include "interrupt.h"

#include <csignal>

namespace Quorvane
{

namespace
{

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int)
{
    interrupted = 1;
}

} // namespace

void installInterruptHandler()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interruptRequested()
{
    return interrupted != 0;
}

} // namespace Quorvane
