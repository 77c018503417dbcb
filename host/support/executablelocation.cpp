#include "executablelocation.h"

namespace Quorvane
{

std::filesystem::path executableFolder()
{
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

} // namespace Quorvane
