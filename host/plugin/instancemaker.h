// Makes plug-in instances set up as the command line asks (preset, --set
// values), one at a time whatever thread asks: hosts load modules and create
// and release their objects on one thread, and a plug-in may count on that.
// Processing then runs on any thread, each instance on its own.
#pragma once

#include "commands/commandline.h"
#include "hostedplugin.h"

#include <memory>
#include <mutex>

namespace Quorvane
{

class InstanceMaker
{
public:
    explicit InstanceMaker(const Options& options);

    // A new configured instance; the first one notes the values set on
    // standard output unless quiet. Released under the same lock. The maker
    // must outlive its instances. Throws HostError.
    std::shared_ptr<HostedPlugin> make();

private:
    Options options;
    std::mutex lock;
    bool noted = false;
};

} // namespace Quorvane
