// Runs the real `quorvane` binary and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace QuorvaneTest
{

struct CliResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs quorvane with ARGS in WORKDIR (empty: the current folder).
CliResult runQuorvane(const std::vector<std::string>& args, const std::string& workdir = {});

// The whole content of the file at PATH (empty if it cannot be read).
std::string fileContents(const std::string& path);

// The lines of `text` that are the host's own (the plug-in's diagnostic
// "[...] received:" lines are left out).
std::vector<std::string> hostLines(const std::string& text);

} // namespace QuorvaneTest
