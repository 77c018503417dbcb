// A file written beside its final name and renamed into place only on
// success, so a failed run never leaves a truncated or clobbered file.
#pragma once

#include <string>

namespace Quorvane
{

class TemporaryFile
{
public:
    // Creates an empty temporary file in TARGET's folder.
    // Throws HostError (kExitOutput) when that is impossible.
    explicit TemporaryFile(const std::string& target);
    // Removes the temporary file unless it was committed.
    ~TemporaryFile();

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return temporaryPath; }
    // The open descriptor; whoever takes it closes it.
    int takeDescriptor();
    // Gives the file the usual permissions and renames it to the target.
    void commit();

private:
    std::string targetPath;
    std::string temporaryPath;
    int descriptor = -1;
    bool committed = false;
};

} // namespace Quorvane
