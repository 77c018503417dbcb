#include "temporaryfile.h"

#include "hosterror.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Quorvane
{

namespace
{

// Read once: reading the mask means setting it, which must not race with
// files being created on other threads.
mode_t currentUmask()
{
    static const mode_t mask = []
    {
        mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& target) : targetPath(target)
{
    currentUmask();
    auto slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty())
        throw HostError(kExitOutput, "'" + target + "' names a folder, not a file");
    struct stat existing
    {
    };
    if (stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
        throw HostError(kExitOutput, "'" + target + "' is a folder, not a file");

    std::string pattern = folder + "." + name + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    descriptor = mkstemp(buffer.data());
    if (descriptor < 0)
        throw HostError(kExitOutput, "cannot write '" + target + "': " + std::strerror(errno));
    temporaryPath = buffer.data();
}

TemporaryFile::~TemporaryFile()
{
    if (descriptor >= 0)
        close(descriptor);
    if (!committed)
        unlink(temporaryPath.c_str());
}

int TemporaryFile::takeDescriptor()
{
    int taken = descriptor;
    descriptor = -1;
    return taken;
}

void TemporaryFile::commit()
{
    if (descriptor >= 0)
    {
        close(descriptor);
        descriptor = -1;
    }
    chmod(temporaryPath.c_str(), 0666 & ~currentUmask());
    if (std::rename(temporaryPath.c_str(), targetPath.c_str()) != 0)
        throw HostError(kExitOutput,
                        "cannot replace '" + targetPath + "': " + std::strerror(errno));
    committed = true;
}

} // namespace Quorvane
