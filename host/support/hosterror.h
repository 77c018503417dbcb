// Errors the command-line host reports to its user: one line of text and
// the exit status that tells scripts which kind of problem it was.
#pragma once

#include <stdexcept>
#include <string>

namespace Quorvane
{

enum ExitCode : int
{
    kExitOk = 0,
    kExitInternal = 1,      // something unexpected inside the host itself
    kExitUsage = 2,         // bad command line: unknown option, parameter name or value
    kExitInput = 3,         // an input or preset file is missing, unreadable or unsuitable
    kExitPlugin = 4,        // the plug-in does not load, lacks its classes or refuses the set-up
    kExitOutput = 5,        // an output file cannot be written
    kExitInterrupted = 130, // stopped by Ctrl-C or a termination signal
};

class HostError : public std::runtime_error
{
public:
    HostError(ExitCode code, const std::string& message)
        : std::runtime_error(message), exitCode(code)
    {
    }

    ExitCode code() const { return exitCode; }

private:
    ExitCode exitCode;
};

// The plug-in does not load, lacks its classes or refuses what a host asks of it.
[[noreturn]] inline void pluginError(const std::string& message)
{
    throw HostError(kExitPlugin, message);
}

} // namespace Quorvane
