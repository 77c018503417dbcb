#include "instancemaker.h"

#include "pluginloader.h"

namespace Quorvane
{

InstanceMaker::InstanceMaker(const Options& given) : options(given) {}

std::shared_ptr<HostedPlugin> InstanceMaker::make()
{
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<HostedPlugin> plugin = loadPlugin(options);
    Options configured = options;
    configured.quiet = options.quiet || noted;
    configurePlugin(*plugin, configured);
    noted = true;
    std::mutex* release = &lock;
    return std::shared_ptr<HostedPlugin>(plugin.release(),
                                         [release](HostedPlugin* instance)
                                         {
                                             std::lock_guard<std::mutex> releaseGuard(*release);
                                             delete instance;
                                         });
}

} // namespace Quorvane
